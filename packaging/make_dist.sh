#!/usr/bin/env bash
# make dist: release builds of their own, and into dist/ the files that carry
# the version of include/kalpo.h:
#   libkalpo4_<v>-1_amd64.deb, libkalpo-dev_<v>-1_amd64.deb, kalpo_<v>-1_amd64.deb,
#   kalpo-virtual-printer_<v>-1_amd64.deb, kalpo-<v>-linux-x86_64.tar.gz,
#   kalpo-<v>-windows-x86.zip, kalpo-<v>-setup.exe, kalpo-<v>-py3-none-any.whl and the
#   platform wheels kalpo-<v>-py3-none-manylinux_2_<n>_x86_64.whl (n: the newest glibc
#   version its binaries need), kalpo-<v>-py3-none-win32.whl; from a clone the source
#   release kalpo-<v>.tar.gz (make dist in it makes the same files); beside each its bill of
#   materials (<file>.cdx.json), and SHA256SUMS of them all
# Byte for byte the same from any clone of the same commit: every time is
# SOURCE_DATE_EPOCH (by default the last commit's), no path of the clone is
# kept.  Ends with the time taken and each file's size.
#   DIST=dist DIST_BUILD=build-dist DIST_WIN_BUILD=build-dist-win32 PYTHON=/usr/bin/python3 packaging/make_dist.sh
#   DIST_REUSE=1: the release trees make test built (configure_release.sh
#   with the tests) are built on instead of configured anew.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
out=${DIST:-dist}
native=${DIST_BUILD:-build-dist}
windows=${DIST_WIN_BUILD:-build-dist-win32}
# Debian's Python: its setuptools and wheel build the wheel without a network.
python=${PYTHON:-/usr/bin/python3}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
# Under make the builds would inherit its flags and announce every folder.
unset MAKEFLAGS MFLAGS MAKELEVEL
started=$(date +%s)

# The source release holds its commit's time in the file SOURCE_DATE_EPOCH.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && [ -f SOURCE_DATE_EPOCH ]; then SOURCE_DATE_EPOCH=$(cat SOURCE_DATE_EPOCH); fi
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || {
    echo "make dist: not a git clone; set SOURCE_DATE_EPOCH" >&2
    exit 2
  }
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
version=$(sed -nE 's/^#define KALPO_VERSION_(MAJOR|MINOR|PATCH) ([0-9]+)$/\2/p' include/kalpo.h | paste -sd.)

rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
staging=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-dist.XXXXXX")
trap 'rm -rf "$staging"' EXIT

# A tree make test built as a release tree (DIST_REUSE=1) is built on, not
# configured anew: what it ships is the same.
configure() {
  if [ "${DIST_REUSE:-0}" != 1 ] || [ ! -f "$2/CMakeCache.txt" ]; then packaging/configure_release.sh "$@"; fi
}

# ---- Linux: hardened release build, then the packages and the tarball ----
configure native "$native"
cmake --build "$native" -j "$jobs"
packaging/debian/build.sh "$native" "$out"
tarball=kalpo-$version-linux-$(uname -m)
DESTDIR="$staging/linux" cmake --install "$native" --prefix "/$tarball" --strip >/dev/null
# The third-party components it holds, with their licences.
packaging/third_party.sh text tool reference >"$staging/linux/$tarball/THIRD-PARTY.txt"
"$python" packaging/pack.py tgz "$staging/linux/$tarball" "$out/$tarball.tar.gz"
native_done=$(date +%s)

# ---- Windows: the cross build, then the zip ----
configure windows "$windows"
cmake --build "$windows" -j "$jobs"
zip_name=kalpo-$version-windows-x86
for component in kalpo virtual_printer; do
  cmake --install "$windows" --prefix "$staging/windows/$zip_name" --component "$component" --strip >/dev/null
done
packaging/third_party.sh text tool reference windows >"$staging/windows/$zip_name/THIRD-PARTY.txt"
"$python" packaging/pack.py zip "$staging/windows/$zip_name" "$out/$zip_name.zip"
# The installer, from the same tree (its files' times are not kept).
# Its list of files (installed and removed by name) from the same tree.
packaging/windows/installer_files.sh "$staging/windows/$zip_name" >"$staging/files.nsh"
makensis -V2 -DVERSION="$version" -DTREE="$staging/windows/$zip_name" -DFILES="$staging/files.nsh" \
  -DOUTFILE="$out/kalpo-$version-setup.exe" \
  packaging/windows/installer.nsi >"$staging/makensis.log" 2>&1 || {
  cat "$staging/makensis.log"
  exit 1
}
windows_done=$(date +%s)

# ---- The wheel, built from a copy so that the source tree stays clean (its
# times are SOURCE_DATE_EPOCH's) ----
mkdir -p "$staging/wheel"
cp -r bindings/python/. "$staging/wheel/"
cp LICENSE "$staging/wheel/"
"$python" -m pip wheel --quiet --no-build-isolation --no-index --no-deps --wheel-dir "$out" "$staging/wheel"
# The platform wheels: the same module with libkalpo and the virtual printer inside.
pure=$out/kalpo-$version-py3-none-any.whl
linux_lib=$staging/linux/$tarball/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
inside=("$linux_lib/libkalpo.so.$version=kalpo/libkalpo.so.${version%%.*}")
for file in "$linux_lib"/kalpo/virtual-printer/*.so; do inside+=("$file=kalpo/virtual-printer/${file##*/}"); done
# Tagged with the newest glibc symbol version its binaries need, so that pip
# takes it on every system that can load them.
glibc=$(objdump -T "${inside[@]%%=*}" | grep -o 'GLIBC_2\.[0-9]*' | sort -uV | tail -1)
"$python" packaging/platform_wheel.py "$pure" "$out" "manylinux_2_${glibc#GLIBC_2.}_x86_64" "${inside[@]}"
windows_tree=$staging/windows/$zip_name
inside=("$windows_tree/bin/kalpo.dll=kalpo/kalpo.dll")
while IFS= read -r file; do inside+=("$file=kalpo/virtual-printer/${file##*/}"); done \
  < <(find "$windows_tree/virtual-printer" -iname '*.dll' | LC_ALL=C sort)
"$python" packaging/platform_wheel.py "$pure" "$out" win32 "${inside[@]}"

# The source release, from a clone: the commit's files and its time, from
# which make dist makes the same files again (make test-source-release).
if git rev-parse --verify -q HEAD >/dev/null 2>&1 && [ ! -f SOURCE_DATE_EPOCH ]; then
  git archive --format=tar --prefix="kalpo-$version/" \
    --add-virtual-file="SOURCE_DATE_EPOCH:$SOURCE_DATE_EPOCH" HEAD | gzip -9n >"$out/kalpo-$version.tar.gz"
fi

# A bill of materials (CycloneDX JSON) of each file: the third-party
# components compiled into or shipped in it, with their versions and licences.
for file in "$out"/*; do
  name=${file##*/}
  case $name in
  kalpo_*.deb) kinds=(tool) ;;
  libkalpo-dev_*.deb) kinds=(reference) ;;
  *-linux-*.tar.gz) kinds=(tool reference) ;;
  *-windows-x86.zip | *-setup.exe) kinds=(tool reference windows) ;;
  *-win32.whl) kinds=(windows) ;;
  *) kinds=() ;;
  esac
  packaging/third_party.sh sbom "$name" "${kinds[@]}" >"$file.cdx.json"
done
(cd "$out" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)

echo "make dist: $(($(date +%s) - started)) s (Linux $((native_done - started)) s," \
  "Windows $((windows_done - native_done)) s, wheel $(($(date +%s) - windows_done)) s)"
(cd "$out" && ls -l | awk 'NR > 1 { printf "  %-50s %9d bytes\n", $9, $5 }')
