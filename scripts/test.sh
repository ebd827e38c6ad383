#!/usr/bin/env bash
# Configures, builds and runs the whole test suite (unit and end-to-end).
#
#   BUILD_DIR   build directory (default: build)
#   BUILD_TYPE  CMake build type (default: Release)
#   JOBS        parallel jobs (default: 2)
# Further arguments go to CMake, e.g. -DVORELCOV_SANITIZE=ON.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
jobs=${JOBS:-2}
./scripts/install-deps.sh test
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" -DVORELCOV_TESTS=ON "$@"
cmake --build "$build_dir" -j "$jobs"
cd "$build_dir"
ctest --output-on-failure -j "$jobs"
