#!/usr/bin/env bash
# The wheel: installed with pip from the file alone into a fresh virtual
# environment, typed, selling through kalpo.Printer over the libkalpo of the
# tarball, and naming the places it tried when no library is found.
#   tests/dist/wheel.sh DIST_FOLDER WORK_FOLDER
set -uo pipefail
. "$(dirname "$0")/common.sh"
dist=$1
work=$2
mkdir -p "$work"
python=${PYTHON:-/usr/bin/python3}
wheel=$dist/kalpo-$version-py3-none-any.whl
tarball=$dist/kalpo-$version-linux-$(uname -m).tar.gz
[ -f "$wheel" ] && [ -f "$tarball" ] || {
  echo "  FAIL: $wheel or $tarball is missing (make dist)"
  exit 1
}

venv=$work/venv
expect "a fresh virtual environment" "$python" -m venv "$venv"
expect "pip install --no-index of the wheel" "$venv/bin/pip" install --quiet --no-index "$wheel"
package=$("$venv/bin/python" -c 'import importlib.util as u, os; print(os.path.dirname(u.find_spec("kalpo").origin))')
[ -f "$package/py.typed" ] || fail "py.typed is not installed ($package)"

tar -xzf "$tarball" -C "$work"
library=$work/$(basename "$tarball" .tar.gz)/lib/$(gcc -print-multiarch)/libkalpo.so.4
expect "a sale through kalpo.Printer" fresh env KALPO_LIBRARY="$library" "$venv/bin/python" \
  "$source_dir/tests/dist/wheel_sale.py"

# Without KALPO_LIBRARY, and with no libkalpo beside the module or on the
# loader's path, the import names each place tried.
if ! ldconfig -p | grep -q libkalpo.so; then
  message=$(cd "$work" && env -u KALPO_LIBRARY "$venv/bin/python" -c 'import kalpo' 2>&1)
  grep -q "tried:" <<<"$message" && grep -qF "$package/libkalpo.so: no such file" <<<"$message" &&
    grep -q "on the loader's path" <<<"$message" || fail "the missing library's message: $message"
fi
finish
