#!/usr/bin/env bash
# Configures a release tree as make dist builds it: Release, hardened on
# Linux, no path of the clone in any binary, warnings as errors, the manual
# pages and API reference, the compiler cache when ccache is installed.  More
# cmake options may follow (make test's release trees add the tests); they
# must not change what is shipped, which the second clone of make test-dist
# checks byte for byte.
#   packaging/configure_release.sh native|windows TREE [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
kind=$1
tree=$2
shift 2

# The compiler cache's settings go into the launcher itself, so that they hold
# whoever runs the build (make test, make dist): paths below this clone are
# cached as relative ones, and the locale, which the cache counts in every
# entry's key, is one (make dist sets LC_ALL; make test keeps the caller's):
# a second clone's build hits what the first compiled.  Units that read a
# precompiled header are cached only with the sloppiness ccache asks for them.
launcher=()
if command -v ccache >/dev/null; then
  cache="env;-u;LC_CTYPE;-u;LC_MESSAGES;LANG=C.UTF-8;LC_ALL=C.UTF-8"
  cache="$cache;CCACHE_BASEDIR=${CCACHE_BASEDIR:-$source_dir};CCACHE_NOHASHDIR=1"
  cache="$cache;CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime;ccache"
  launcher=("-DCMAKE_C_COMPILER_LAUNCHER=$cache" "-DCMAKE_CXX_COMPILER_LAUNCHER=$cache")
fi
# Ninja when it is installed: it keeps both cores busy across targets.  A
# tree keeps the generator it was first configured with.
generator=()
if command -v ninja >/dev/null && [ ! -f "$tree/CMakeCache.txt" ]; then
  generator=(-G Ninja)
fi
mkdir -p "$tree"
# No path of this clone in any binary (its sources, its build folder):
# KALPO_MAP_BUILD_PATHS.
common=("${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DKALPO_TESTS=OFF -DKALPO_WERROR=ON -DKALPO_MANUALS=ON
  -DKALPO_MAP_BUILD_PATHS=ON "${launcher[@]}")
case $kind in
  native)
    hardening="-D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection -fcf-protection -Wformat -Werror=format-security"
    cmake -S . -B "$tree" "${common[@]}" -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_C_FLAGS="$hardening" -DCMAKE_CXX_FLAGS="$hardening" \
      -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now -pie" -DCMAKE_SHARED_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now" \
      -DCMAKE_POSITION_INDEPENDENT_CODE=ON "$@" >/dev/null
    ;;
  windows)
    cmake -S . -B "$tree" "${common[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake "$@" >/dev/null
    ;;
  *)
    echo "configure_release.sh: native or windows, not '$kind'" >&2
    exit 2
    ;;
esac
