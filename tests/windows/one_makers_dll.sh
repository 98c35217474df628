#!/usr/bin/env bash
# Under Wine: kalpo.exe and kalpo.dll in a folder with one maker's own DLL (a
# test double of InterfaceEpson.dll) and the virtual printer in virtual-printer\
# below it.  The EPSON model's calls reach the double, and kalpo --version says
# so; another maker's reach the virtual printer; without the virtual printer,
# another maker's call names its missing DLL.
#   one_makers_dll.sh KALPO_EXE KALPO_DLL DOUBLE_DLL VIRTUAL_PRINTER_FOLDER
set -uo pipefail
command -v wine >/dev/null || { echo "no wine"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-one-maker.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin/virtual-printer"
cp "$1" "$2" "$3" "$work/bin/"
cp "$4"/* "$work/bin/virtual-printer/"
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}
win() { winepath -w "$1" 2>/dev/null; }
run() { env -u KALPO_VIRTUAL KALPO_SIM_DIR="$(win "$work/sim")" KALPO_DOUBLE_LOG="$work/double.log" wine "$work/bin/kalpo.exe" "$@" </dev/null 2>&1; }

version=$(run --version)
grep -qiF "interfaceepson: $(win "$work/bin/InterfaceEpson.dll")" <<<"$version" || fail "--version: $version"
grep -qiF "bemafi32: $(win "$work/bin/virtual-printer/BEMAFI32.DLL") (the virtual printer)" <<<"$version" ||
  fail "--version: $version"
out=$(run call AbreCupom EPSON - '' '' '') || fail "the EPSON call: $out"
grep -q EPSON_Fiscal_Abrir_Cupom "$work/double.log" 2>/dev/null || fail "the double was not reached: $out"
[ ! -e "$work/sim/interfaceepson" ] || fail "the virtual printer answered the EPSON call"
out=$(run call AbreCupom BEMATECHMP20 - '' '' '') || fail "the Bematech call on the virtual printer: $out"
rm -r "$work/bin/virtual-printer"
out=$(run call AbreCupom DARUMA32 - '' '' '') && fail "a call without its maker's DLL succeeded: $out"
grep -q "Daruma32.dll is missing" <<<"$out" || fail "the missing DLL is not named: $out"
[ "$failed" = 0 ] && echo "one maker's DLL and the virtual printer: each call reached its own"
exit "$failed"
