#!/usr/bin/env bash
# The whole road from source to report, on the demo's real program:
#   1. compile examples/demo/src with `gcc --coverage` into build/demo-gcov/obj,
#   2. run it twice, as `demo` and `demo -v` (gcov sums the two runs),
#   3. vorelcov-import-gcov reads the build directory (it runs gcov on every
#      .gcda itself) and writes demo.spi and demo.dpi,
#   4. plain `gcov` writes its own annotated text (text/, kept for the
#      line-by-line check in .ci/checks.d/gcov-lines),
#   5. vorelcov writes the report into build/demo-report/.
# Expects build/vorelcov and build/vorelcov-import-gcov (scripts/example.sh
# builds them). Extra options go to vorelcov, so `build-and-run.sh -txtlcov`
# writes the line-coverage text instead of the HTML report.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
build="${BUILD_DIR:-$top/build}"
build="$(cd "$build" && pwd)"
work="$build/demo-gcov"
out="$build/demo-report"

rm -rf "$work"
mkdir -p "$work/obj" "$work/text"
cd "$work/obj"
for c in "$here"/src/*.c; do
  gcc --coverage -O0 -c "$c" -o "$(basename "$c" .c).o"
done
gcc --coverage ./*.o -o demo
./demo >/dev/null
./demo -v >/dev/null
"$build/vorelcov-import-gcov" --root "$here" --spi "$work/demo.spi" --dpi "$work/demo.dpi" "$work/obj"
(cd "$work/text" && gcov "$work"/obj/*.gcda >gcov.out)

args=("$@")
[ ${#args[@]} -gt 0 ] || args=(-counts -comp "$here/demo.comp")
rm -rf "$out"
mkdir -p "$out"
cd "$out"
"$build/vorelcov" -spi "$work/demo.spi" -dpi "$work/demo.dpi" -srcroot "$here" -nopmeter "${args[@]}"
echo
if [ -f "$out/CODE_COVERAGE.HTML" ]; then
  echo "The HTML report of the demo's real run is in $out: open"
  echo "  file://$out/CODE_COVERAGE.HTML"
  echo "in a web browser (the pages in CodeCoverage/ are linked from it)."
else
  echo "Line coverage of the demo's real run is in $out:"
  echo "  CODE_COVERAGE.TXT       totals and per-file table"
  echo "  CodeCoverage/*.LCOV     every source line with its execution count"
fi
