# Shared by the dist tests: the version, failure reporting, and running a
# command on fresh virtual printers of its own.
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
version=$(sed -nE 's/^#define KALPO_VERSION_(MAJOR|MINOR|PATCH) ([0-9]+)$/\2/p' "$source_dir/include/kalpo.h" |
  paste -sd.)
problems=0
# The maker libraries, from the makers' table: their names (maker_names) and
# their files on Windows (maker_files), in the table's order.
maker_table() { sed -nE "s/^KALPO_MAKER_LIBRARY\(([a-z0-9_]+), \"([^\"]+)\".*/\\$1/p" "$source_dir/src/seam/maker_libraries.h"; }
mapfile -t maker_names < <(maker_table 1)
mapfile -t maker_files < <(maker_table 2)

# fail MESSAGE: reports one problem; the script goes on and exits 1 at the end.
fail() {
  echo "  FAIL: $*"
  problems=$((problems + 1))
}

# expect DESCRIPTION COMMAND...: runs the command, showing its output when it fails.
expect() {
  local what=$1 output
  shift
  if output=$("$@" 2>&1); then
    echo "  ok: $what"
  else
    fail "$what"
    sed 's/^/    /' <<<"$output" | tail -30
  fi
}

# fresh COMMAND...: the command with its own printers' folder, drive C, home
# and state folder.
fresh() {
  local folder
  folder=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-fresh.XXXXXX")
  HOME=$folder XDG_STATE_HOME=$folder/state KALPO_SIM_DIR=$folder/sim KALPO_DRIVE_C=$folder/c "$@"
  local status=$?
  rm -rf "$folder"
  return $status
}

# has_all LISTING PATH...: every path is a line of the listing.
has_all() {
  local listing=$1 path
  shift
  for path in "$@"; do
    grep -qxF "$path" <<<"$listing" || fail "missing: $path"
  done
}

finish() {
  [ "$problems" -eq 0 ]
}
