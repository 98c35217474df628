#!/usr/bin/env bash
# Installs from Debian's packages what the build needs, when it is missing.
#   tools/install-deps.sh native     compiler, CMake, GoogleTest, Google Benchmark, CLI11, nlohmann-json,
#                                    Free Pascal, Mono and pytest (the binding tests)
#   tools/install-deps.sh windows    the above, the MinGW-w64 cross compiler and Wine
set -euo pipefail

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v make >/dev/null || need+=(make)
command -v nm >/dev/null || need+=(binutils)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
[ -f /usr/include/CLI/CLI.hpp ] || need+=(libcli11-dev)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
command -v fpc >/dev/null || need+=(fp-compiler)
command -v mcs >/dev/null || need+=(mono-mcs)
command -v mono >/dev/null || need+=(mono-runtime)
command -v pytest-3 >/dev/null || need+=(python3-pytest)

add_i386=false
if [ "${1:-native}" = windows ]; then
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

[ ${#need[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    sudo=(sudo)
  else
    echo "Missing packages: ${need[*]} (install them as root)" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$add_i386 && "${sudo[@]}" dpkg --add-architecture i386
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${need[@]}"
