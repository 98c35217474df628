#!/usr/bin/env bash
# kalpo's manual page, made from its own help so that it cannot drift: the
# --help and --version texts through help2man, then each subcommand's help
# (kalpo help SUB [SUB]) and the exit status.  Honours SOURCE_DATE_EPOCH.
#   packaging/manual.sh path/to/kalpo kalpo.1.gz
set -euo pipefail
tool=$1
output=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-manual.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The manual is the same wherever it is made: no printers, no terminal width.
export KALPO_SIM_DIR=$work/sim KALPO_DRIVE_C=$work/c HOME=$work LC_ALL=C.UTF-8 COLUMNS=100

# The subcommands a help text lists under "Subcommands:".
subcommands() { awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 } on && /^$/ { exit }'; }

# A help text as preformatted roff.
roff() { sed -e 's/\\/\\e/g' -e 's/^\([.'"'"']\)/\\\&\1/'; }

section() {
  local words=$1
  echo ".SS \"kalpo $words\""
  echo ".nf"
  # shellcheck disable=SC2086 # the subcommand's words
  "$tool" help $words | roff
  echo ".fi"
  # shellcheck disable=SC2086
  for sub in $("$tool" help $words | subcommands); do section "$words $sub"; done
}

{
  echo "[SUBCOMMANDS]"
  for sub in $("$tool" --help | subcommands); do section "$sub"; done
  echo "[EXIT STATUS]"
  "$tool" --help | sed -n '/^Exit status:/,$p' | sed 's/^Exit status: //' | roff
  echo "[ENVIRONMENT]"
  echo "KALPO_SIM_DIR names the virtual printers' folder; KALPO_REPLAY_LIBRARIES the replay libraries' folder."
  echo "[SEE ALSO]"
  echo "The API reference of libkalpo-dev: one page per function (man KALPO_VendaItem) and its HTML reference."
} >"$work/include"

# help2man runs the program through the shell unquoted: it is given a link
# whose path holds no space, wherever the build folder is.
ln -s "$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")" "$work/kalpo"
# Its version: the first two lines of --version (the rest names the files of
# the maker libraries found where it runs, which would differ from build to
# build).
help2man --no-info --name="KALPO's calls on the virtual fiscal printer" --section=1 --include="$work/include" \
  --version-string="$("$tool" --version | sed -n '1,2p')" --no-discard-stderr --output="$work/kalpo.1" "$work/kalpo"
gzip -9n <"$work/kalpo.1" >"$output"
