#!/usr/bin/env bash
# llvm-import benchmark and figures check on a large real C program:
# SQLite's amalgamation with the workload of bench/gcov-import (same source:
# the npm package better-sqlite3, nothing of it run), compiled with clang's
# source-based coverage (-fprofile-instr-generate -fcoverage-mapping) and
# run. Then:
#   - `llvm-cov export -format=text` writes the JSON (timed),
#   - vorelcov-import-llvm imports it (timed; it must take less time than
#     llvm-cov took to write it: status 1 otherwise),
#   - every figure is compared with llvm-cov's lcov export and totals
#     (scripts/compare-llvm-figures.py, as .ci/checks.d/llvm-figures does).
# Not part of every CI run (compiling the amalgamation with coverage takes
# minutes). Run:  bench/llvm-import/run.sh      (LLVM, the tools' version
# suffix, default 14: clang-14, llvm-cov-14, llvm-profdata-14; BUILD_DIR,
# default build; WORK, default $BUILD_DIR/bench-llvm-import-$LLVM; ROWS,
# default 20000).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
build="$(cd "${BUILD_DIR:-$top/build}" && pwd)"
v=${LLVM:-14}
work="${WORK:-$build/bench-llvm-import-$v}"
version=12.11.1   # better-sqlite3; its deps/sqlite3 holds the amalgamation

for tool in "clang-$v" "llvm-cov-$v" "llvm-profdata-$v" python3; do
  command -v "$tool" >/dev/null || { echo "llvm-import bench: $tool missing (apt-get install clang-$v llvm-$v)" >&2; exit 1; }
done
for t in vorelcov vorelcov-import-llvm; do
  [ -x "$build/$t" ] || cmake --build "$build" -j 2 --target "$t"
done
mkdir -p "$work"
cd "$work"
if [ ! -f src/sqlite3.c ]; then
  npm pack --silent "better-sqlite3@$version" >/dev/null
  mkdir -p src
  tar xzf "better-sqlite3-$version.tgz" -C src --strip-components=3 \
    package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
fi
echo "sources: $(wc -l < src/sqlite3.c) lines of sqlite3.c, clang-$v"
rm -rf obj out
mkdir -p obj out
flags="-fprofile-instr-generate -fcoverage-mapping -O0"
(cd obj && "clang-$v" $flags -DSQLITE_THREADSAFE=0 -DSQLITE_OMIT_LOAD_EXTENSION -c "$work/src/sqlite3.c" \
   && "clang-$v" $flags -I"$work/src" -c "$top/bench/gcov-import/workload.c" -o workload.o)
(cd obj && "clang-$v" $flags sqlite3.o workload.o -lm -o workload \
   && LLVM_PROFILE_FILE=workload.profraw ./workload "${ROWS:-20000}" \
   && "llvm-profdata-$v" merge -o workload.profdata workload.profraw)

seconds() { date +%s.%N; }
cd out
t0=$(seconds)
"llvm-cov-$v" export -format=text -instr-profile ../obj/workload.profdata ../obj/workload >export.json
t1=$(seconds)
"$build/vorelcov-import-llvm" --no-markers --root / export.json
t2=$(seconds)
echo "JSON: $(du -b export.json | cut -f1) bytes"
awk -v a="$t0" -v b="$t1" -v c="$t2" 'BEGIN {
  printf "llvm-cov-'"$v"' export: %.2f s   vorelcov-import-llvm: %.2f s   (%.0f %%)\n", b - a, c - b, 100 * (c - b) / (b - a)
  exit (c - b < b - a) ? 0 : 1 }' || { echo "llvm-import bench: the import took longer than llvm-cov export" >&2; exit 1; }
"llvm-cov-$v" export -format=lcov -instr-profile ../obj/workload.profdata ../obj/workload >llvm.info
"$build/vorelcov" -txtlcov -nopmeter --lcov vorelcov.info >/dev/null
python3 "$top/scripts/compare-llvm-figures.py" export.json llvm.info vorelcov.info CODE_COVERAGE.TXT
