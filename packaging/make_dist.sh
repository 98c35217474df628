#!/usr/bin/env bash
# make dist: release builds of their own, and into dist/ the five files that
# carry the version of include/kalpo.h:
#   kalpo-<v>-windows-x86.zip, kalpo_<v>_amd64.deb, kalpo-virtual-printer_<v>_amd64.deb,
#   kalpo-<v>-linux-x86_64.tar.gz, kalpo-<v>-py3-none-any.whl
# Ends with the time taken and each file's size.
#   DIST=dist DIST_BUILD=build-dist DIST_WIN_BUILD=build-dist-win32 PYTHON=/usr/bin/python3 packaging/make_dist.sh
# DIST_WIN_REUSE=1 packs the Windows tree as it is configured, when it is
# (CI packs the tree its tests built: the same sources, stripped in the zip,
# without a second cross build).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${DIST:-dist}
native=${DIST_BUILD:-build-dist}
windows=${DIST_WIN_BUILD:-build-dist-win32}
# Debian's Python: its setuptools and wheel build the wheel without a network.
python=${PYTHON:-/usr/bin/python3}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
# Under make the builds would inherit its flags and announce every folder.
unset MAKEFLAGS MFLAGS MAKELEVEL
started=$(date +%s)

rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)

# Each tree's packages, made by CPack from the install rules, moved to dist/.
package() {
  local tree=$1
  shift
  cmake --build "$tree" -j "$jobs"
  rm -rf "$tree/packages"
  (cd "$tree" && cpack -B "$PWD/packages" "$@" >cpack.log 2>&1) || {
    cat "$tree/cpack.log"
    return 1
  }
  find "$tree/packages" -maxdepth 1 -type f \( -name '*.deb' -o -name '*.tar.gz' -o -name '*.zip' \) \
    -exec mv {} "$out/" \;
}

cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release -DKALPO_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
package "$native"
native_done=$(date +%s)

if [ "${DIST_WIN_REUSE:-0}" != 1 ] || [ ! -f "$windows/CMakeCache.txt" ]; then
  cmake -S . -B "$windows" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DKALPO_TESTS=OFF >/dev/null
fi
package "$windows"
windows_done=$(date +%s)

# The wheel, built from a copy so that the source tree stays clean.
staging=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-wheel.XXXXXX")
trap 'rm -rf "$staging"' EXIT
cp -r bindings/python/. "$staging/"
"$python" -m pip wheel --quiet --no-build-isolation --no-index --no-deps --wheel-dir "$out" "$staging"

echo "make dist: $(($(date +%s) - started)) s (Linux $((native_done - started)) s," \
  "Windows $((windows_done - native_done)) s, wheel $(($(date +%s) - windows_done)) s)"
(cd "$out" && ls -l | awk 'NR > 1 { printf "  %-45s %9d bytes\n", $9, $5 }')
