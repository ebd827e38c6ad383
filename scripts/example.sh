#!/usr/bin/env bash
# Builds vorelcov and runs it on the bundled example. Until the example
# program and its profiles are in the repository, it shows the usage text.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}"
cmake --build build -j "${JOBS:-2}" --target vorelcov
# The usage text ends with status 1 by design.
./build/vorelcov -help || [ $? -eq 1 ]
