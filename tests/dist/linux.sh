#!/usr/bin/env bash
# The Debian packages and the tarball: what each holds; then, both packages
# installed into a throw-away root (dpkg-deb -x), a C program built with
# pkg-config alone, a CMake project built with find_package alone and
# `kalpo demo` each sell on the virtual printer, and no installed binary names
# a folder outside itself in its run path.  The tarball holds the same tree.
#   tests/dist/linux.sh DIST_FOLDER WORK_FOLDER
set -uo pipefail
. "$(dirname "$0")/common.sh"
dist=$1
work=$2
mkdir -p "$work"
arch=$(dpkg --print-architecture)
multiarch=$(gcc -print-multiarch)
lib=usr/lib/$multiarch
deb=$dist/kalpo_${version}_$arch.deb
virtual_deb=$dist/kalpo-virtual-printer_${version}_$arch.deb
tarball=$dist/kalpo-$version-linux-$(uname -m).tar.gz
makers=(bemafi32 convecf fs345_32 daruma32 ecf32m dllg2 dllg2_gerador interfaceepson)

for file in "$deb" "$virtual_deb" "$tarball"; do
  [ -f "$file" ] || {
    echo "  FAIL: $file is missing (make dist)"
    exit 1
  }
done

# ---- What each package holds ----
files_of() { dpkg-deb --fsys-tarfile "$1" | tar -t | sed -E 's|^\./||; s|/$||'; }
kalpo_files=$(files_of "$deb")
has_all "$kalpo_files" "$lib/libkalpo.so.$version" "$lib/libkalpo.so.4" "$lib/libkalpo.so" usr/include/kalpo.h \
  "$lib/pkgconfig/kalpo.pc" "$lib/cmake/kalpo/kalpoConfig.cmake" "$lib/cmake/kalpo/kalpoConfigVersion.cmake" \
  "$lib/cmake/kalpo/kalpoTargets.cmake" usr/bin/kalpo usr/share/man/man1/kalpo.1.gz \
  usr/share/doc/kalpo/README.md usr/share/doc/kalpo/CHANGELOG.md usr/share/kalpo/examples/epson.kalpo
! grep -q virtual-printer <<<"$kalpo_files" || fail "the kalpo package holds virtual printer files"
virtual_files=$(files_of "$virtual_deb")
has_all "$virtual_files" $(printf "$lib/kalpo/virtual-printer/lib%s.so " "${makers[@]}")
strays=$(grep -E '\.so' <<<"$virtual_files" | grep -v "^$lib/kalpo/virtual-printer/lib[a-z0-9_]*\.so$")
[ -z "$strays" ] || fail "libraries outside the virtual printer's folder: $strays"
for pair in "kalpo $deb" "kalpo-virtual-printer $virtual_deb"; do
  set -- $pair
  fields="$(dpkg-deb -f "$2" Package Version Architecture | tr '\n' ' ')"
  [ "$fields" = "Package: $1 Version: $version Architecture: $arch " ] || fail "$2: $fields"
done
echo "  checked: the contents of both packages"

# ---- Installed into a throw-away root ----
root=$work/root
dpkg-deb -x "$deb" "$root" && dpkg-deb -x "$virtual_deb" "$root" || fail "dpkg-deb -x"
soname=$(readelf -d "$root/$lib/libkalpo.so.$version" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = libkalpo.so.4 ] || fail "soname: '$soname'"

# Every run path entry is relative to the binary itself.
while IFS= read -r binary; do
  readelf -h "$binary" >/dev/null 2>&1 || continue
  cmake -DBINARIES="$binary" -P "$source_dir/tests/dist/run_path_check.cmake" >/dev/null 2>&1 ||
    fail "${binary#$root/}: $(readelf -d "$binary" | grep -E 'R(UN)?PATH')"
done < <(find "$root" -type f)
echo "  checked: run paths of every installed binary"

# kalpo finds libkalpo in the root, and libkalpo the root's virtual printer.
loaded_from() { ldd "$root/usr/bin/kalpo" | sed -n "s/^[[:space:]]*$1 => \([^ ]*\) .*/\1/p" | xargs -r realpath; }
[ "$(loaded_from libkalpo.so.4)" = "$(realpath "$root/$lib/libkalpo.so.4")" ] ||
  fail "kalpo loads libkalpo from '$(loaded_from libkalpo.so.4)'"
[ "$(loaded_from libbemafi32.so)" = "$root/$lib/kalpo/virtual-printer/libbemafi32.so" ] ||
  fail "libkalpo loads libbemafi32.so from '$(loaded_from libbemafi32.so)'"

export PKG_CONFIG_LIBDIR=$root/$lib/pkgconfig
flags=$(pkg-config --cflags --libs kalpo) || fail "pkg-config --cflags --libs kalpo"
[ "$(pkg-config --modversion kalpo)" = "$version" ] || fail "pkg-config --modversion"
# shellcheck disable=SC2086 # the flags are words
expect "a C program built with pkg-config" cc -o "$work/sale" "$source_dir/tests/dist/sale.c" $flags
# Installed under /usr, libkalpo would be on the loader's path; in the throw-away root it is named.
expect "... sells a coupon" fresh env LD_LIBRARY_PATH="$root/$lib" "$work/sale"

expect "a CMake project built with find_package(kalpo)" \
  sh -c "cmake -S '$source_dir/tests/dist/consumer' -B '$work/consumer' -DCMAKE_PREFIX_PATH='$root/usr' &&
         cmake --build '$work/consumer'"
expect "... sells a coupon" fresh "$work/consumer/sale"
expect "kalpo demo from the root" fresh "$root/usr/bin/kalpo" demo

# ---- The tarball: the packages' tree under /usr ----
mkdir -p "$work/tarball"
tar -xzf "$tarball" -C "$work/tarball"
top=$work/tarball/$(basename "$tarball" .tar.gz)
tree_of() { (cd "$1" && find . \( -type f -o -type l \) | sort); }
[ "$(tree_of "$root/usr")" = "$(tree_of "$top")" ] ||
  fail "the tarball's tree differs from the packages': $(diff <(tree_of "$root/usr") <(tree_of "$top") | head)"
expect "kalpo demo from the tarball" fresh "$top/bin/kalpo" demo --model EPSON
finish
