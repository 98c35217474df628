#!/usr/bin/env bash
# Runs `kalpo demo` natively and `kalpo.exe demo` under Wine (in the prefix
# that WINEPREFIX names) and compares the two outputs: every call, result,
# message and page of paper, less what belongs to the machine and the moment:
#   - the lines naming the fresh temporary folder ("Virtual printers in
#     <folder>", "The printers were in <folder>");
#   - dates (d/m/yy to dd/mm/yyyy, yyyy-mm-dd) and times (hh:mm:ss, hh:mm):
#     among them the workstation's date in its regional short date format
#     that KALPO_LeData hands back for DATAREGISQUICK (under Wine the
#     prefix's locale, 12/8/2026 in a United States one);
#   - the printer's date and time as the Bematech query hands them out
#     (DataHoraEcf: data="ddmmyy" hora="hhmmss").
#   tests/windows/compare_demo.sh NATIVE_KALPO WINDOWS_KALPO_EXE
set -euo pipefail
native=$1
windows=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-demo-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The demo on Windows reads the prefix's own configuration file; like the
# native demo's fresh drive C, it is to have none.
rm -f "$WINEPREFIX/drive_c/zantrello/configs/kalpo.ini" "$WINEPREFIX/drive_c/canc.txt"

"$native" demo >"$work/native.txt" </dev/null
wine "$windows" demo >"$work/windows.txt" </dev/null

normalize() {
  sed -E \
    -e '/^Virtual printers in /d' \
    -e '/^The printers were in /d' \
    -e 's#[0-9]{1,2}/[0-9]{1,2}/[0-9]{2,4}#DATE#g' \
    -e 's#[0-9]{4}-[0-9]{2}-[0-9]{2}#YYYY-MM-DD#g' \
    -e 's#[0-9]{2}:[0-9]{2}(:[0-9]{2})?#HH:MM#g' \
    -e 's#data="[0-9]{6}"  hora="[0-9]{6}"#data="DDMMYY"  hora="HHMMSS"#' \
    "$1"
}
normalize "$work/native.txt" >"$work/native.norm"
normalize "$work/windows.txt" >"$work/windows.norm"

paper=$(grep -c "^  |" "$work/native.norm" || true)
if ! diff -u "$work/native.norm" "$work/windows.norm" >"$work/diff"; then
  echo "kalpo demo: the Windows output differs from the native one (dates and times aside):"
  head -n 80 "$work/diff"
  exit 1
fi
echo "kalpo demo: the same $(wc -l <"$work/native.norm") lines natively and under Wine ($paper lines of paper), dates and times aside"
