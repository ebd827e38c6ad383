#!/usr/bin/env bash
# Rebuilds the demo's profile files demo.spi and demo.dpi from the
# description in gen/make_demo_profiles.cpp.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
build="${BUILD_DIR:-$top/build}"

[ -f "$build/CMakeCache.txt" ] || cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target make_demo_profiles
"$build/examples/demo/gen/make_demo_profiles" "$here"
echo "wrote $here/demo.spi and $here/demo.dpi"
