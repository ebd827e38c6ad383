#!/usr/bin/env bash
# Cross-builds vorelcov.exe for 64-bit Windows (mingw-w64, statically linked)
# into build-windows/ and runs the test suite under wine.
#
#   BUILD_DIR   build directory (default: build-windows)
#   JOBS        parallel jobs (default: 2)
#   NO_TESTS=1  build vorelcov.exe only
# Further arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build-windows}
jobs=${JOBS:-2}
./scripts/install-deps.sh windows

# wine keeps its prefix in $WINEPREFIX (default ~/.wine); create it quietly once.
export WINEDEBUG=${WINEDEBUG:--all}
wine wineboot --init >/dev/null 2>&1 || true

tests=ON
[ "${NO_TESTS:-}" = 1 ] && tests=OFF
cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVORELCOV_TESTS=$tests \
  -DVORELCOV_GTEST_SOURCE=/usr/src/googletest "$@"
cmake --build "$build_dir" -j "$jobs"
[ "$tests" = ON ] || exit 0
cd "$build_dir"
ctest --output-on-failure -j "$jobs"
