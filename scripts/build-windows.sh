#!/usr/bin/env bash
# Cross-builds vorelcov.exe for 64-bit Windows (mingw-w64, statically linked)
# into build-windows/ and runs the test suite under wine.
#
#   BUILD_DIR   build directory (default: build-windows)
#   JOBS        parallel jobs (default: 2)
#   NO_TESTS=1  build vorelcov.exe only
#   CTEST_ARGS  further ctest arguments (e.g. -R to choose test programs)
# Further arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build-windows}
jobs=${JOBS:-2}
./scripts/install-deps.sh windows

# A wine prefix of this build's own (made quietly the first time), so that
# stopping its wine server at the end touches no other wine session.
mkdir -p "$build_dir"
export WINEPREFIX=${WINEPREFIX:-$PWD/$build_dir/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
wine wineboot --init >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT  # no wine process outlives the run

# ctest runs each test program under wine (CMAKE_CROSSCOMPILING_EMULATOR);
# each has a time limit (VORELCOV_TEST_TIMEOUT, 900 s by default).

tests=ON
[ "${NO_TESTS:-}" = 1 ] && tests=OFF
cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVORELCOV_TESTS=$tests \
  -DVORELCOV_GTEST_SOURCE=/usr/src/googletest "$@"
cmake --build "$build_dir" -j "$jobs"
[ "$tests" = ON ] || exit 0
cd "$build_dir"
# shellcheck disable=SC2086
ctest --output-on-failure -j "$jobs" ${CTEST_ARGS:-}
