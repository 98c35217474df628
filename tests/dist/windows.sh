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

makers=("${maker_files[@]}")
listing=$(cd "$top" && find . -type f | sed 's|^\./||' | sort)
has_all "$listing" bin/kalpo.dll bin/kalpo.exe include/kalpo.h lib/kalpo.def lib/libkalpo.dll.a lib/kalpo.lib \
  "${makers[@]/#/virtual-printer/}" virtual-printer/README.txt bindings/pascal/kalpo.pas bindings/csharp/Kalpo.cs \
  bindings/python/kalpo/__init__.py bindings/python/pyproject.toml examples/epson.kalpo README.txt CHANGELOG.md LICENSE
[ "$(ls "$top/bin" | tr '\n' ' ')" = "kalpo.dll kalpo.exe replay " ] || fail "bin/ holds more: $(ls "$top/bin")"
has_all "$listing" "${makers[@]/#/bin/replay/}" doc/index.html
grep -q $'\r$' "$top/README.txt" || fail "README.txt has no CR LF line ends"
# The version resource's texts are UTF-16.
version_text=$(printf '%s.0' "$version" | iconv -t UTF-16LE | od -An -tx1 | tr -d ' \n')
for program in kalpo.dll kalpo.exe; do
  od -An -tx1 -v "$top/bin/$program" | tr -d ' \n' | grep -q "$version_text" || fail "$program: no version $version.0"
done
# THIRD-PARTY.txt names each third-party component, which is where its list says.
while IFS='|' read -r name mark; do
  grep -qF "$name" "$top/THIRD-PARTY.txt" || fail "THIRD-PARTY.txt does not name $name"
done < <("$source_dir/packaging/third_party.sh" marks tool reference windows)
for kind_file in "tool bin/kalpo.exe" "windows bin/kalpo.dll" "reference doc"; do
  set -- $kind_file
  while IFS='|' read -r name mark; do
    grep -raqF "$mark" "$top/$2" || fail "$2 does not hold $name: packaging/third_party.list is wrong"
  done < <("$source_dir/packaging/third_party.sh" marks "$1")
done
echo "  checked: the zip's contents and versions"

# Without the makers' DLLs kalpo.exe starts, and a call names the missing one.
expect "kalpo.exe --help without maker DLLs" wine "$top/bin/kalpo.exe" --help
missing=$(wine "$top/bin/kalpo.exe" call LeituraX BEMATECHMP20 2>&1)
status=$?
[ "$status" -eq 1 ] && grep -q "${makers[0]} is missing" <<<"$missing" ||
  fail "kalpo.exe call without maker DLLs (exit $status): $missing"

cp "${makers[@]/#/$top/virtual-printer/}" "$top/bin/"
expect "kalpo.exe demo, every call succeeded" wine "$top/bin/kalpo.exe" demo
expect "a traced sale" env KALPO_TRACE='C:\sale.jsonl' KALPO_SIM_DIR='C:\trace-sim' wine "$top/bin/kalpo.exe" --yes run \
  "$(winepath -w "$top/examples/bematechmp20.kalpo" 2>/dev/null)"
expect "kalpo.exe replay from the zip" wine "$top/bin/kalpo.exe" replay 'C:\sale.jsonl'

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

# ---- The installer: silent install with both components, use, silent uninstall ----
setup=$dist/kalpo-$version-setup.exe
if [ -f "$setup" ]; then
  expect "setup.exe /S /VIRTUAL /SERVE" sh -c "wine '$setup' /S /VIRTUAL /SERVE && wineserver -w"
  installed=$(find "$WINEPREFIX/drive_c" -maxdepth 3 -type d -path '*/Program Files*/KALPO' | head -1)
  [ -n "$installed" ] && [ -f "$installed/bin/kalpo.exe" ] && [ -f "$installed/bin/virtual-printer/${makers[0]}" ] ||
    fail "nothing installed under Program Files\KALPO"
  expect "kalpo.exe demo from the installed place" wine "$installed/bin/kalpo.exe" demo --model EPSON
  # Installed for all users (Wine's user is an administrator): the machine's PATH and Run key.
  registry=$(wine reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment' /v Path 2>/dev/null
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' 2>/dev/null)
  grep -qi 'KALPO\\bin' <<<"$registry" || fail "kalpo.exe's folder is not on the machine's PATH"
  grep -q 'KALPO serve' <<<"$registry" || fail "no Run value starting kalpo serve"
  [ -n "$(find "$WINEPREFIX/drive_c" -name 'KALPO panel.url')" ] || fail "no Start-menu entry for the panel"
  # The panel's address answers while kalpo serve runs.
  port=$((20000 + RANDOM % 20000))
  wine "$installed/bin/kalpo.exe" serve --port "$port" >"$work/serve.log" 2>&1 &
  answered=false
  for _ in $(seq 1 60); do
    if python3 -c "import urllib.request, sys
try: urllib.request.urlopen('http://127.0.0.1:$port/', timeout=2)
except urllib.error.HTTPError: pass
except Exception: sys.exit(1)" 2>/dev/null; then answered=true; break; fi
    sleep 0.5
  done
  $answered || fail "the panel's address did not answer: $(tail -5 "$work/serve.log")"
  wineserver -k >/dev/null 2>&1
  wait 2>/dev/null
  # Run again without the two components: both are gone.
  expect "setup.exe /S again without /VIRTUAL /SERVE" sh -c "wine '$setup' /S && wineserver -w"
  [ ! -e "$installed/bin/virtual-printer" ] || fail "the virtual printer stays: $(ls "$installed/bin/virtual-printer")"
  ! wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' 2>/dev/null | grep -q 'KALPO serve' ||
    fail "the Run value stays after a run without /SERVE"
  wineserver -k >/dev/null 2>&1
  expect "uninstall.exe /S" sh -c "wine '$installed/uninstall.exe' /S && wineserver -w"
  [ ! -e "$installed" ] || fail "left after uninstalling: $(find "$installed" | head -5)"
  [ -z "$(find "$WINEPREFIX/drive_c" -name 'KALPO panel.url')" ] || fail "the Start-menu entry is left"
  registry=$(for key in 'HKCU\Environment' 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' \
    'HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment' \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Run'; do wine reg query "$key" 2>/dev/null; done)
  ! grep -qi 'KALPO' <<<"$registry" || fail "the registry keeps KALPO: $registry"
  echo "  checked: the installer"
  # In a store's folder, again without components, uninstalled; both scopes.
  "$source_dir/tests/dist/installer_check.sh" "$setup" || fail "the installer in a store's folder"
else
  fail "$setup is missing (make dist)"
fi
finish
