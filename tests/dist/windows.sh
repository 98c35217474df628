#!/usr/bin/env bash
# The Windows zip, unzipped into a fresh Wine prefix: what it holds, the
# version in both programs' resources; with the virtual printer's DLLs copied
# beside kalpo.dll, `kalpo.exe demo` succeeds in every call, and a C program
# compiled with MinGW against the zip's include/ and libkalpo.dll.a sells a
# coupon, as does one linked with an MSVC-compatible linker against kalpo.lib
# (when clang and lld-link are there).
#   tests/dist/windows.sh DIST_FOLDER WORK_FOLDER
set -uo pipefail
. "$(dirname "$0")/common.sh"
dist=$1
work=$2
mkdir -p "$work"
name=kalpo-$version-windows-x86
zip=$dist/$name.zip
[ -f "$zip" ] || {
  echo "  FAIL: $zip is missing (make dist)"
  exit 1
}

export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineboot --init >/dev/null 2>&1 || fail "wineboot"
unzip -q "$zip" -d "$WINEPREFIX/drive_c" || fail "unzip"
top=$WINEPREFIX/drive_c/$name

makers=(BEMAFI32.DLL CONVECF.dll fs345_32.dll Daruma32.dll ecf32m.dll DllG2.dll DLLG2_Gerador.dll InterfaceEpson.dll)
listing=$(cd "$top" && find . -type f | sed 's|^\./||' | sort)
has_all "$listing" bin/kalpo.dll bin/kalpo.exe include/kalpo.h lib/kalpo.def lib/libkalpo.dll.a lib/kalpo.lib \
  "${makers[@]/#/virtual-printer/}" virtual-printer/README.txt bindings/pascal/kalpo.pas bindings/csharp/Kalpo.cs \
  bindings/python/kalpo/__init__.py bindings/python/pyproject.toml examples/epson.kalpo README.txt CHANGELOG.md LICENSE
[ "$(ls "$top/bin" | tr '\n' ' ')" = "kalpo.dll kalpo.exe " ] || fail "bin/ holds more: $(ls "$top/bin")"
# The version resource's texts are UTF-16.
version_text=$(printf '%s.0' "$version" | iconv -t UTF-16LE | od -An -tx1 | tr -d ' \n')
for program in kalpo.dll kalpo.exe; do
  od -An -tx1 -v "$top/bin/$program" | tr -d ' \n' | grep -q "$version_text" || fail "$program: no version $version.0"
done
echo "  checked: the zip's contents and versions"

cp "${makers[@]/#/$top/virtual-printer/}" "$top/bin/"
expect "kalpo.exe demo, every call succeeded" wine "$top/bin/kalpo.exe" demo

expect "a C program compiled with MinGW against the zip" \
  i686-w64-mingw32-gcc -o "$top/bin/sale.exe" "$source_dir/tests/dist/sale.c" -I"$top/include" "$top/lib/libkalpo.dll.a"
expect "... sells a coupon" wine "$top/bin/sale.exe"

if command -v clang >/dev/null && command -v lld-link >/dev/null; then
  expect "a C program linked by lld-link against kalpo.lib" sh -c "
    clang --target=i686-pc-windows-msvc -ffreestanding -DSALE_WITHOUT_CRT -I'$top/include' \
      -c '$source_dir/tests/dist/sale.c' -o '$work/sale.obj' &&
    lld-link -nologo -entry:start -subsystem:console -nodefaultlib -out:'$top/bin/sale_msvc.exe' \
      '$work/sale.obj' '$top/lib/kalpo.lib'"
  expect "... sells a coupon" wine "$top/bin/sale_msvc.exe"
else
  echo "  skipped: clang or lld-link missing, kalpo.lib not linked"
fi
finish
