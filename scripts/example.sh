#!/usr/bin/env bash
# Builds vorelcov and its gcov importer, then takes the bundled example
# (examples/demo) from source to report: compiled with `gcc --coverage`, run,
# gcov's data imported, the report written into build/demo-report/.
set -euo pipefail
cd "$(dirname "$0")/.."

# Only CMake, a C/C++ compiler (gcc --coverage and gcov for the example) and
# zlib: no test frameworks.
./scripts/install-deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" -DVORELCOV_TESTS=OFF
cmake --build build -j "${JOBS:-2}" --target vorelcov vorelcov-import-gcov
./examples/demo/build-and-run.sh "$@"
