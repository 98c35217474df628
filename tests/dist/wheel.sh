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
# loader's path, the module imports and its first call names each place tried.
if ! ldconfig -p | grep -q libkalpo.so; then
  message=$(cd "$work" && env -u KALPO_LIBRARY "$venv/bin/python" -c 'import kalpo
try:
    kalpo.versao()
except kalpo.LibraryMissing as error:
    print(error)' 2>&1)
  grep -q "tried:" <<<"$message" && grep -qF "$package/libkalpo.so.4: no such file" <<<"$message" &&
    grep -q "on the loader's path" <<<"$message" || fail "the missing library's message: $message"
fi
grep -q "^License-File: LICENSE" "$package-$version.dist-info/METADATA" 2>/dev/null ||
  [ -f "$(dirname "$package")/kalpo-$version.dist-info/LICENSE" ] || fail "no licence file in the dist-info"
expect "help() shows Printer's real parameters" "$venv/bin/python" -c 'import kalpo, pydoc
text = pydoc.render_doc(kalpo.Printer, renderer=pydoc.plaintext)
assert "abre_cupom(nome" in text and "*args" not in text, text'
if command -v mypy >/dev/null; then
  expect "mypy --strict -p kalpo" sh -c "cd '$source_dir/bindings/python' && mypy --strict --cache-dir '$work/mypy' -p kalpo"
fi

# ---- The Linux platform wheel: libkalpo inside, the virtual printer only when asked ----
platform_wheel=$(ls "$dist"/kalpo-"$version"-py3-none-manylinux_2_*_x86_64.whl 2>/dev/null | head -1)
[ -f "$platform_wheel" ] || fail "the Linux platform wheel is missing"
# Its tag is the newest glibc version its binaries need, read from their symbol versions.
unzip -q -o "$platform_wheel" -d "$work/platform-files"
needed=$(find "$work/platform-files" -name '*.so*' -exec objdump -T {} + | grep -o 'GLIBC_2\.[0-9]*' | sort -uV | tail -1)
[[ "$platform_wheel" == *"-manylinux_2_${needed#GLIBC_2.}_x86_64.whl" ]] ||
  fail "the platform wheel's tag ($(basename "$platform_wheel")) is not its binaries' newest glibc, $needed"
[ -f "$dist/kalpo-$version-py3-none-win32.whl" ] || fail "the win32 wheel is missing"
venv2=$work/platform
expect "pip install of the platform wheel" sh -c "'$python' -m venv '$venv2' && '$venv2/bin/pip' install --quiet --no-index '$platform_wheel'"
expect "a sale on the wheel's virtual printer (KALPO_VIRTUAL=1)" fresh env -u KALPO_LIBRARY -u LD_LIBRARY_PATH \
  KALPO_VIRTUAL=1 "$venv2/bin/python" "$source_dir/tests/dist/wheel_sale.py"
# Without virtual=True a model's call finds no maker library, and says so.
message=$(fresh env -u KALPO_LIBRARY -u LD_LIBRARY_PATH -u KALPO_VIRTUAL "$venv2/bin/python" -c 'import kalpo
assert kalpo.versao()
print(kalpo.leitura_x("BEMATECHMP20"))' 2>&1)
grep -q "libbemafi32.so is missing" <<<"$message" || fail "without virtual=True the wheel's libkalpo: $message"
# virtual=True after other calls than a model's.
expect "virtual=True after kalpo.versao()" fresh env -u KALPO_LIBRARY -u LD_LIBRARY_PATH -u KALPO_VIRTUAL \
  "$venv2/bin/python" -c 'import kalpo
assert kalpo.versao() and kalpo.inicia_driver()
assert kalpo.Printer("BEMATECHMP20", virtual=True).leitura_x()[0]'
finish
