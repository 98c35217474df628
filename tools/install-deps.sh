#!/usr/bin/env bash
# Installs from Debian's packages what the build needs, when it is missing.
#   tools/install-deps.sh demo       compiler, CMake, make, CLI11, nlohmann-json, Boost's headers:
#                                    enough for `make demo`
#   tools/install-deps.sh native     the above, GoogleTest, Google Benchmark, the locales the tests
#                                    switch to, clang-format, Free Pascal, Mono, pytest, and
#                                    Chromium with its WebDriver and Selenium (the panel's test),
#                                    Node with npm and promtool; then npm ci in clients/js
#   tools/install-deps.sh windows    the above, the MinGW-w64 cross compiler and Wine
#   tools/install-deps.sh fuzz       the native set, clang and its libFuzzer and sanitizer runtimes
#   tools/install-deps.sh dist       the windows set and what makes and tests the packages: dpkg-dev,
#                                    file, pkg-config, Debian's Python with venv, pip, setuptools
#                                    and wheel, mypy, unzip, llvm-dlltool, clang and lld-link,
#                                    lintian, help2man, Doxygen, NSIS, ccache and systemd-analyze
# Runs apt-get without questions, as root or through sudo without a password.
set -euo pipefail

mode=${1:-native}
case $mode in
  demo | native | windows | fuzz | dist) ;;
  *)
    echo "usage: $0 demo|native|windows|fuzz|dist" >&2
    exit 2
    ;;
esac

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v gcc >/dev/null || need+=(gcc)
command -v make >/dev/null || need+=(make)
command -v nm >/dev/null || need+=(binutils)
[ -f /usr/include/CLI/CLI.hpp ] || need+=(libcli11-dev)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
# kalpo serve's HTTP: Boost.Beast and Asio, header-only.
[ -f /usr/include/boost/beast.hpp ] || need+=(libboost-dev)

add_i386=false
if [ "$mode" != demo ]; then
  # Ninja builds the developers' and CI's trees.
  command -v ninja >/dev/null || need+=(ninja-build)
  [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
  [ -f /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
  [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
  command -v clang-format >/dev/null || need+=(clang-format)
  # The binding tests: Free Pascal, Mono, pytest.
  command -v fpc >/dev/null || need+=(fp-compiler)
  command -v mcs >/dev/null || need+=(mono-mcs)
  command -v mono >/dev/null || need+=(mono-runtime)
  command -v pytest-3 >/dev/null || need+=(python3-pytest)
  # kalpo serve's panel in a real browser: headless Chromium through WebDriver.
  command -v chromium >/dev/null || need+=(chromium)
  command -v chromedriver >/dev/null || need+=(chromium-driver)
  /usr/bin/python3 -c 'import selenium' 2>/dev/null || need+=(python3-selenium)
  # kalpo serve's JavaScript client (its development packages come from the
  # npm registry, below) and promtool, which checks the /metrics text.
  command -v node >/dev/null || need+=(nodejs)
  command -v npm >/dev/null || need+=(npm)
  command -v promtool >/dev/null || need+=(prometheus)
  # The host-locale tests switch the process to these.
  locales=$(locale -a 2>/dev/null || true)
  for name in pt_BR tr_TR; do
    grep -qix "$name.utf-\?8" <<<"$locales" || {
      need+=(locales-all)
      break
    }
  done
fi
if [ "$mode" = fuzz ]; then
  command -v clang++ >/dev/null || need+=(clang)
  compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null ||
    need+=(libclang-rt-dev)
fi
if [ "$mode" = dist ]; then
  command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)
  command -v file >/dev/null || need+=(file)
  command -v pkg-config >/dev/null || need+=(pkgconf)
  command -v unzip >/dev/null || need+=(unzip)
  command -v gzip >/dev/null || need+=(gzip)
  # The wheel is built offline with Debian's setuptools and wheel.
  compgen -G "/usr/share/python-wheels/pip-*.whl" >/dev/null || need+=(python3-venv)
  /usr/bin/python3 -m pip --version >/dev/null 2>&1 || need+=(python3-pip)
  /usr/bin/python3 -c 'import setuptools' 2>/dev/null || need+=(python3-setuptools)
  /usr/bin/python3 -c 'import wheel' 2>/dev/null || need+=(python3-wheel)
  # The packages' check, the manual pages, the installer, the unit's check,
  # the wheel's type check, and the compiler cache of the second build.
  command -v lintian >/dev/null || need+=(lintian)
  command -v help2man >/dev/null || need+=(help2man)
  command -v doxygen >/dev/null || need+=(doxygen)
  command -v makensis >/dev/null || need+=(nsis)
  command -v ccache >/dev/null || need+=(ccache)
  command -v systemd-analyze >/dev/null || need+=(systemd)
  command -v mypy >/dev/null || need+=(mypy)
  # kalpo.lib, and the check that an MSVC-compatible linker takes it.
  command -v llvm-dlltool >/dev/null || need+=(llvm)
  command -v clang >/dev/null || need+=(clang)
  command -v lld-link >/dev/null || need+=(lld)
  mode=windows
fi
if [ "$mode" = windows ]; then
  # The MinGW-w64 cross compiler, GoogleTest's sources, and Wine with its
  # 32-bit part (which needs the i386 architecture).
  command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686)
  [ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
  command -v wine >/dev/null || need+=(wine)
  if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed'; then
    need+=(wine32:i386)
    dpkg --print-foreign-architectures | grep -qx i386 || add_i386=true
  fi
fi

# The JavaScript client's development packages (TypeScript, openapi-typescript,
# @redocly/cli), as its package-lock.json pins them.
npm_packages() {
  [ "$mode" = demo ] && return 0
  local client
  client="$(dirname "$0")/../clients/js"
  [ -f "$client/node_modules/.package-lock.json" ] && [ ! "$client/node_modules/.package-lock.json" -ot "$client/package-lock.json" ] &&
    return 0
  (cd "$client" && npm ci --no-audit --no-fund --loglevel=error)
}

if [ ${#need[@]} -eq 0 ]; then
  npm_packages
  exit 0
fi

# As root the commands run as they are; otherwise through sudo, which must not
# ask for a password (nobody may be there to type it).
as_root=(env DEBIAN_FRONTEND=noninteractive)
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null || ! sudo -n true 2>/dev/null; then
    cat >&2 <<MESSAGE
Missing Debian packages: ${need[*]}
They cannot be installed from here: this is not root and sudo is missing or
asks for a password. Install them as root, then run this command again:

    apt-get update && apt-get install -y --no-install-recommends ${need[*]}
MESSAGE
    $add_i386 && echo "(first: dpkg --add-architecture i386)" >&2
    exit 1
  fi
  as_root=(sudo -n env DEBIAN_FRONTEND=noninteractive)
fi

echo "Installing: ${need[*]}"
$add_i386 && "${as_root[@]}" dpkg --add-architecture i386
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${need[@]}"
npm_packages
