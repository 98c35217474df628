#!/usr/bin/env bash
# The third-party components of packaging/third_party.list of the given
# kinds, with their versions and licences (from the Debian packages the
# build takes them from):
#   third_party.sh text KIND...   THIRD-PARTY.txt: each component, its version and
#                                 licence, then each package's copyright file whole
#   third_party.sh dep5 FILES KIND...   paragraphs for a Debian copyright file: the
#                                 files (a DEP-5 pattern) and each licence's text
#   third_party.sh marks KIND...  name|mark, one a line (for the tests)
#   third_party.sh sbom FILE KIND...    a CycloneDX 1.5 JSON bill of materials of the
#                                 release file FILE: KALPO and those components
set -euo pipefail
list=$(dirname "$0")/third_party.list
mode=$1
shift
files=
if [ "$mode" = dep5 ] || [ "$mode" = sbom ]; then
  files=$1
  shift
fi
kinds=" $* "
rows=$(grep -v '^#' "$list" | while IFS='|' read -r name package licence mark kind; do
  if [[ "$kinds" == *" $kind "* ]]; then echo "$name|$package|$licence|$mark|$kind"; fi
done)
version() { dpkg-query -W -f '${Version}' "$1" 2>/dev/null || echo unknown; }
# The standalone "License: NAME" paragraph of a DEP-5 copyright file.
licence_text() {
  awk -v name="License: $2" 'BEGIN { RS = ""; FS = "\n" } $1 == name && NF > 1 { print; exit }' \
    "/usr/share/doc/$1/copyright"
}
case $mode in
marks)
  cut -d'|' -f1,4 <<<"$rows"
  ;;
text)
  echo "Third-party components in these files, with their licences"
  echo
  while IFS='|' read -r name package licence _ _; do
    echo "  $name $(version "$package"): $licence"
  done <<<"$rows"
  for package in $(cut -d'|' -f2 <<<"$rows" | awk '!seen[$0]++'); do
    echo
    echo "==== $(cut -d'|' -f1 <<<"$rows" | paste -sd'|' | tr '|' '\n' | while read -r n; do
      grep -q "^$n|$package|" <<<"$rows" && printf '%s; ' "$n"; done)from Debian's $package $(version "$package"): its copyright and licences"
    echo
    cat "/usr/share/doc/$package/copyright"
  done
  ;;
dep5)
  comment=$(while IFS='|' read -r name package licence _ _; do printf '%s %s (%s); ' "$name" "$(version "$package")" "$licence"; done <<<"$rows")
  licences=$(cut -d'|' -f3 <<<"$rows" | awk '!seen[$0]++')
  echo
  echo "Files: $files"
  echo "Copyright: Zantrello; the authors of the components below"
  echo "License: proprietary and $(paste -sd'|' <<<"$licences" | sed 's/|/ and /g')"
  echo "Comment: Third-party components in these files: ${comment%; }."
  while IFS= read -r licence; do
    package=$(awk -F'|' -v l="$licence" '$3 == l { print $2; exit }' <<<"$rows")
    text=$(licence_text "$package" "$licence")
    [ -n "$text" ] || { echo "third_party.sh: no licence text $licence in $package's copyright" >&2; exit 1; }
    echo
    echo "$text"
  done <<<"$licences"
  ;;
sbom)
  version=$(sed -nE 's/^#define KALPO_VERSION_(MAJOR|MINOR|PATCH) ([0-9]+)$/\2/p' "$(dirname "$0")/../include/kalpo.h" | paste -sd.)
  while IFS='|' read -r name package licence _ _; do
    if [ -n "$name" ]; then echo "$name|$(version "$package")|$licence|$package"; fi
  done <<<"$rows" | python3 -c '
import json, os, sys, time
file, version = sys.argv[1:3]
epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))
spdx = {"Expat": "MIT", "BSD-3-clause": "BSD-3-Clause",
        "GPL-3+ with GCC-exception-3.1": "GPL-3.0-or-later WITH GCC-exception-3.1"}
components = []
for line in sys.stdin.read().splitlines():
    name, package_version, licence, package = line.split("|")
    components.append({"type": "library", "name": name, "version": package_version,
                       "licenses": [{"expression": spdx.get(licence, licence)}],
                       "supplier": {"name": "Debian (package " + package + ")"}})
print(json.dumps({
    "bomFormat": "CycloneDX", "specVersion": "1.5", "version": 1,
    "metadata": {"timestamp": time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(epoch)),
                 "component": {"type": "application", "name": file, "version": version,
                               "licenses": [{"license": {"name": "proprietary"}}]}},
    "components": components}, indent=2, ensure_ascii=False))
' "$files" "$version"
  ;;
*)
  echo "third_party.sh: text, dep5, marks or sbom" >&2
  exit 2
  ;;
esac
