#!/usr/bin/env bash
# Builds vorelcov and runs it on the bundled example (examples/demo); the
# report lands in build/demo-report/.
set -euo pipefail
cd "$(dirname "$0")/.."

# Only CMake and a C++20 compiler: no test frameworks.
./scripts/install-deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" -DVORELCOV_TESTS=OFF
cmake --build build -j "${JOBS:-2}" --target vorelcov
./examples/demo/run.sh
