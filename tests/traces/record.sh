#!/usr/bin/env bash
# Records the traces of tests/traces/ through libkalpo's exports with the
# virtual printer, each on fresh printers: a whole fiscal day on each model
# (kalpo demo) and, on each maker family, a coupon met by the printer's faults
# (paper end, printer off, a refusal with the maker's own code, a slow answer).
# Re-record after a deliberate change of what KALPO sends, and read the
# difference before committing it.
#   tests/traces/record.sh build/bin/kalpo                          natively
#   tests/traces/record.sh --wine build-win32/bin/kalpo.exe          under Wine
# The Wine recordings (in the prefix WINEPREFIX names) get the suffix _wine:
# two days and two families' faults, which the Linux replays answer with the
# Windows workstation's clock and regional settings.  MODELS and FAULTS
# choose others.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine=
if [ "${1:-}" = --wine ]; then
  wine=wine
  shift
fi
tool=$1
out=${OUT:-$here}
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-record.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A path as the tool sees it: under Wine through drive Z.
path() { if [ -n "$wine" ]; then echo "Z:${1//\//\\}"; else echo "$1"; fi; }

# kalpo on the printers of $work/sim, tracing to $trace when it is set.
kalpo() {
  KALPO_SIM_DIR=$(path "$work/sim") KALPO_DRIVE_C="$work/drive_c" XDG_STATE_HOME="$work/state" KALPO_TRACE=${trace:+$(path "$trace")} \
    $wine "$tool" "$@" </dev/null >/dev/null
}

fresh() {
  rm -rf "$work/sim" "$work/drive_c" "$work/script"
  mkdir -p "$work/sim" "$work/drive_c"
}

suffix=${wine:+_wine}
all_models="BEMATECHMP20 BEMATECHMFD SWEDA7000 SIGTRONFS345 DARUMA32 DIGIARTE1E ELGINFIT DATAREGISQUICK DATAREGISSERIAL EPSON"
models=${MODELS:-${wine:+DATAREGISQUICK SIGTRONFS345}}
models=${models:-$all_models}
for model in $models; do
  fresh
  trace="$out/day_$(echo "$model" | tr A-Z a-z)$suffix.jsonl"
  rm -f "$trace"
  kalpo demo --model "$model" || true
  echo "recorded $trace"
done

# One coupon opened under a fault; each fault is one process's part of the trace.
#   family: model, library, refusal code, the 18 % rate, whether to record a slow answer
faults=${FAULTS:-"BEMATECHMP20 bemafi32 -2 01 slow
SWEDA7000 convecf -5 01 -
SIGTRONFS345 fs345_32 22 01 -
DARUMA32 daruma32 022 01 -
DIGIARTE1E ecf32m 60 T01 slow
ELGINFIT dllg2 8000 01 -
EPSON interfaceepson 0801 01 -"}
if [ -n "$wine" ] && [ -z "${FAULTS:-}" ]; then faults=$(grep -E "^(DARUMA32|EPSON) " <<<"$faults"); fi
while read -r model library code rate slow; do
  fresh
  trace="$out/faults_$library$suffix.jsonl"
  rm -f "$trace"
  printf 'AbreCupom "%s" - "" "" ""\nVendaItem "%s" "1001" "ARROZ" "%s" "F" 1 2 2.99 "$" -\n' "$model" "$model" "$rate" \
    >"$work/script"
  script=$(path "$work/script")
  set -- paper_end off "refuse $code"
  if [ "$slow" = slow ]; then set -- "$@" "slow 2500"; fi
  for fault in "$@"; do
    (trace= && kalpo fault clear --model "$library" && kalpo fault set $fault --model "$library")
    kalpo run "$script" || true
  done
  echo "recorded $trace"
done <<<"$faults"
