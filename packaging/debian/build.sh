#!/usr/bin/env bash
# The four Debian packages from a configured and built release tree, each a
# `cmake --install` component laid out as Debian splits a library:
#   libkalpo4              runtime     libkalpo.so.4 (symbols, shlibs, ldconfig trigger)
#   libkalpo-dev           development header, .so link, kalpo.pc, CMake package, API reference
#   kalpo                  tool        kalpo, its manual page, the replay libraries, the user unit
#   kalpo-virtual-printer  virtual_printer  the eight maker libraries (kalpo-maker-libraries)
# Byte for byte the same for the same tree and SOURCE_DATE_EPOCH.
#   packaging/debian/build.sh BUILD_TREE OUT_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$1" && pwd)
out=$(cd "$2" && pwd)
: "${SOURCE_DATE_EPOCH:?SOURCE_DATE_EPOCH must be set}"
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8

source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$tree/CMakeCache.txt")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$tree/CMakeCache.txt")
major=${version%%.*}
revision=${version}-1
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
. "$here/identity.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Each component installed (stripped) into a root of its own.
stage() {
  local component=$1 package=$2
  DESTDIR="$work/$package" cmake --install "$tree" --component "$component" --strip >/dev/null
}
stage runtime "libkalpo$major"
stage development libkalpo-dev
stage tool kalpo
stage virtual_printer kalpo-virtual-printer
# The HTML reference registered with doc-base.
mkdir -p "$work/libkalpo-dev/usr/share/doc-base"
cat >"$work/libkalpo-dev/usr/share/doc-base/libkalpo-dev.kalpo-api" <<DOC
Document: kalpo-api
Title: KALPO API reference
Author: Zantrello
Abstract: The functions of kalpo.h: one interface to every supported fiscal printer.
Section: Programming/C

Format: HTML
Index: /usr/share/doc/libkalpo-dev/html/index.html
Files: /usr/share/doc/libkalpo-dev/html/*.html
DOC
# Installed under /usr, kalpo.pc names it plainly rather than from its own folder.
sed -i 's|^prefix=.*|prefix=/usr|' "$work/libkalpo-dev/usr/lib/$multiarch/pkgconfig/kalpo.pc"

# Depends from the ELF files' needs (dpkg-shlibdeps); the maker libraries
# are left to kalpo-maker-libraries, which cannot be named by file.
mkdir -p "$work/shlibs/debian"
printf 'Source: kalpo\n\nPackage: kalpo\nArchitecture: any\n' >"$work/shlibs/debian/control"
shlibs() {
  local files
  files=$(find "$@" -type f -name '*.so*' -o -type f -perm -u+x | sort)
  [ -n "$files" ] || return 0
  # shellcheck disable=SC2086 # one word per file
  (cd "$work/shlibs" && dpkg-shlibdeps -O --warnings=0 --ignore-missing-info \
    -l"$work/kalpo-virtual-printer/usr/lib/$multiarch/kalpo/virtual-printer" \
    -l"$work/libkalpo$major/usr/lib/$multiarch" $files 2>/dev/null) |
    sed -n 's/^shlibs:Depends=//p' | tr ',' '\n' | sed 's/^ *//' | grep -v '^$' | sort -u | paste -sd, | sed 's/,/, /g'
}

changelog() {
  local package=$1 doc=$2
  {
    echo "kalpo ($revision) unstable; urgency=medium"
    echo
    echo "  * Release $version: see /usr/share/doc/kalpo/changelog.gz."
    echo
    echo " -- $KALPO_MAINTAINER  $(date -R -d "@$SOURCE_DATE_EPOCH")"
  } | gzip -9n >"$doc/changelog.Debian.gz"
}

# copyright DOC [FILES KIND...]: with the third-party components (and their
# licences' texts) of those kinds that FILES hold (packaging/third_party.list).
copyright() {
  local doc=$1
  {
    echo "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
    echo "Upstream-Name: kalpo"
    echo "Upstream-Contact: $KALPO_MAINTAINER"
    echo "Source: $KALPO_HOMEPAGE"
    echo
    echo "Files: *"
    echo "Copyright: $(date -u -d "@$SOURCE_DATE_EPOCH" +%Y) Zantrello"
    echo "License: proprietary"
    echo
    echo "License: proprietary"
    sed -n '3,$p' "$source_dir/LICENSE" | sed 's/^$/./; s/^/ /'
    if [ $# -gt 1 ]; then "$source_dir/packaging/third_party.sh" dep5 "${@:2}"; fi
  } >"$doc/copyright"
}

# package SECTION MULTI_ARCH DEPENDS EXTRA_FIELDS DESCRIPTION
package() {
  local name=$1 section=$2 multi=$3 depends=$4 extra=$5 description=$6
  local root=$work/$name doc=$work/$name/usr/share/doc/$name
  mkdir -p "$root/DEBIAN" "$doc" "$root/usr/share/lintian/overrides"
  changelog "$name" "$doc"
  case $name in
  kalpo) copyright "$doc" usr/bin/kalpo tool ;;
  libkalpo-dev) copyright "$doc" "usr/share/doc/libkalpo-dev/html/*.js" reference ;;
  *) copyright "$doc" ;;
  esac
  # The licence is in copyright; the compiler's notes are no part of a binary.
  rm -f "$doc/LICENSE"
  find "$root" -type f -name '*.so*' -o -type f -path '*/bin/*' | while IFS= read -r binary; do
    strip --remove-section=.comment --remove-section=.note "$binary"
  done
  # The upstream changelog under Debian's name.
  if [ -f "$doc/CHANGELOG.md" ]; then
    gzip -9n <"$doc/CHANGELOG.md" >"$doc/changelog.gz"
    rm "$doc/CHANGELOG.md"
  fi
  {
    echo "# Released outside Debian's archive: there is no ITP bug to close."
    echo "$name: initial-upload-closes-no-bugs"
  } >"$root/usr/share/lintian/overrides/$name"
  # Debian's modes: libraries and documents 0644, programs 0755.
  find "$root" -type d -exec chmod 0755 {} +
  find "$root" -type f -exec chmod 0644 {} +
  find "$root/usr/bin" -type f -exec chmod 0755 {} + 2>/dev/null || true
  local needs
  needs=$(shlibs "$root/usr")
  local all
  all=$(printf '%s\n' "$needs" "$depends" | tr ',' '\n' | sed 's/^ *//; s/ *$//' | grep -v '^$' | sort -u |
    paste -sd, | sed 's/,/, /g')
  {
    echo "Package: $name"
    echo "Source: kalpo"
    echo "Version: $revision"
    echo "Architecture: $arch"
    echo "Maintainer: $KALPO_MAINTAINER"
    echo "Installed-Size: $(du -sk --apparent-size "$root/usr" | cut -f1)"
    [ -z "$all" ] || echo "Depends: $all"
    [ -z "$extra" ] || printf '%s\n' "$extra"
    echo "Section: $section"
    echo "Priority: optional"
    [ -z "$multi" ] || echo "Multi-Arch: $multi"
    echo "Homepage: $KALPO_HOMEPAGE"
    echo "Description: $description"
  } >"$root/DEBIAN/control"
  (cd "$root" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$root/DEBIAN/md5sums"
  chmod 0644 "$root/DEBIAN"/*
  find "$root" -exec touch --no-dereference -d "@$SOURCE_DATE_EPOCH" {} +
  dpkg-deb --root-owner-group -Zxz --build "$root" "$out/${name}_${revision}_$arch.deb" >/dev/null
}

# libkalpo4: its symbols, shlibs and the loader cache's trigger.
runtime=$work/libkalpo$major
mkdir -p "$runtime/DEBIAN"
# The symbols file as dpkg-gensymbols makes it of the library (its 43
# exports: resources/kalpo.map), with the development package named.
(cd "$work" && dpkg-gensymbols -q -p"libkalpo$major" -v"$version" -P"$runtime" -e"$tree/lib/libkalpo.so.$version" -O) |
  sed '1a * Build-Depends-Package: libkalpo-dev' >"$runtime/DEBIAN/symbols"
[ "$(grep -c '^ KALPO_' "$runtime/DEBIAN/symbols")" -eq 43 ] || { echo "the symbols file lists other than the 43 exports" >&2; exit 1; }
echo "libkalpo $major libkalpo$major (>= $version)" >"$runtime/DEBIAN/shlibs"
echo "activate-noawait ldconfig" >"$runtime/DEBIAN/triggers"

package "libkalpo$major" libs same "" "Suggests: kalpo-maker-libraries" "fiscal printer library of KALPO (runtime)
 One interface, 43 C functions, to every supported fiscal printer.  It
 loads a printer maker's own library when a call first needs it (a maker's
 package, or kalpo-virtual-printer for a workstation without a printer): it
 starts without any, and a call of a missing one fails naming it."
package libkalpo-dev libdevel same "libkalpo$major (= $revision)" "" "fiscal printer library of KALPO (development files)
 The header kalpo.h, the libkalpo.so link, its pkg-config file (kalpo) and
 CMake package (find_package(kalpo), kalpo::kalpo), and the API reference:
 a manual page per function (man KALPO_VendaItem) and an HTML reference."
package kalpo utils "" "libkalpo$major (= $revision)" "Suggests: kalpo-virtual-printer" "command-line tool for KALPO fiscal printers
 kalpo calls any KALPO function, runs session scripts, shows the virtual
 printer's paper, state, faults and clock, reads and replays call traces,
 and serves the calls over HTTP on 127.0.0.1 with a browser panel (kalpo
 serve, also as the systemd user unit kalpo-serve)."
package kalpo-virtual-printer libs same "" "Provides: kalpo-maker-libraries
Conflicts: kalpo-maker-libraries
Replaces: kalpo-maker-libraries" "virtual fiscal printer for KALPO
 The eight maker libraries, answering as a fiscal printer that keeps its
 journal and paper in files, in a folder of their own where libkalpo looks
 for them last: a maker's own library of the same name comes first.  Its
 paper says on every page that it is no fiscal document.  Leave it out on a
 machine with a real printer: the makers' packages provide
 kalpo-maker-libraries too."
