#!/usr/bin/env bash
# Runs vorelcov on the demo in a fresh directory under build/ and says where
# the report is. Expects build/vorelcov (scripts/example.sh builds it).
# Without arguments it writes the HTML report with execution counts; extra
# options are passed on, so `run.sh -txtlcov -blockcounts` gives the
# line-coverage text instead.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
build="${BUILD_DIR:-$top/build}"
out="$build/demo-report"

args=("$@")
[ ${#args[@]} -gt 0 ] || args=(-counts)
rm -rf "$out"
mkdir -p "$out"
cd "$out"
"$build/vorelcov" -spi "$here/demo.spi" -dpi "$here/demo.dpi" -srcroot "$here" \
  -comp "$here/demo.comp" -nopmeter "${args[@]}"
echo
if [ -f "$out/CODE_COVERAGE.HTML" ]; then
  echo "The HTML report of the demo is in $out: open"
  echo "  file://$out/CODE_COVERAGE.HTML"
  echo "in a web browser (the pages in CodeCoverage/ are linked from it)."
else
  echo "Line coverage of the demo is in $out:"
  echo "  CODE_COVERAGE.TXT       totals and per-file table"
  echo "  CodeCoverage/*.LCOV     every source line with its execution count"
fi
