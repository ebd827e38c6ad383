#!/usr/bin/env bash
# Runs vorelcov on the demo in a fresh directory under build/ and says where
# the report is. Expects build/vorelcov (scripts/example.sh builds it).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
build="${BUILD_DIR:-$top/build}"
out="$build/demo-report"

rm -rf "$out"
mkdir -p "$out"
cd "$out"
"$build/vorelcov" -spi "$here/demo.spi" -dpi "$here/demo.dpi" -srcroot "$here" \
  -comp "$here/demo.comp" -txtlcov -blockcounts -nopmeter "$@"
echo
echo "Line coverage of the demo is in $out:"
echo "  CODE_COVERAGE.TXT       totals and per-file table"
echo "  CodeCoverage/*.LCOV     every source line with its execution count"
