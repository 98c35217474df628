#!/bin/sh
# The README's session-script example, run as written on fresh printers: it
# must hold every expectation it states.
#   readme_example.sh KALPO_TOOL README
tool=$1
readme=$2
here=$(dirname "$0")
script=$(mktemp "${TMPDIR:-/tmp}/kalpo-readme.XXXXXX") || exit 1
trap 'rm -f "$script"' EXIT
# The indented lines after "A session script holds ...", up to the first blank line.
awk '/^A session script holds/ { found = 1; next }
     found && /^    / { sub(/^    /, ""); print; started = 1; next }
     started { exit }' "$readme" >"$script"
[ -s "$script" ] || { echo "no session-script example in $readme"; exit 1; }
cat "$script"
"$here/../with_fresh_folder.sh" "$tool" run "$script"
