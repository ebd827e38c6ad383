#!/usr/bin/env bash
# gcov-import benchmark and correctness check on a large real C program:
# SQLite's amalgamation (about 250,000 lines of C), taken from the npm
# package better-sqlite3 (`npm pack` downloads its tarball; nothing of it is
# run), compiled with `gcc --coverage` together with workload.c, and run on
# that workload. Then:
#   - `gcov --json-format` writes the JSON (timed),
#   - vorelcov-import-gcov imports it (timed; it should take less time than
#     gcov took to write the JSON),
#   - vorelcov -txtlcov writes the line coverage, and every line count is
#     compared with gcov's own text output (scripts/compare-gcov-lines.sh).
# Not part of every CI run (compiling the amalgamation with coverage takes
# minutes). Run:  bench/gcov-import/run.sh      (BUILD_DIR, default build;
# WORK, default $BUILD_DIR/bench-gcov-import; ROWS, default 20000).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
build="$(cd "${BUILD_DIR:-$top/build}" && pwd)"
work="${WORK:-$build/bench-gcov-import}"
version=12.11.1   # better-sqlite3; its deps/sqlite3 holds the amalgamation

for t in vorelcov vorelcov-import-gcov; do
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
echo "sources: $(wc -l < src/sqlite3.c) lines of sqlite3.c"
rm -rf obj json text report
mkdir -p obj json text report
(cd obj && gcc --coverage -O0 -DSQLITE_THREADSAFE=0 -DSQLITE_OMIT_LOAD_EXTENSION -c "$work/src/sqlite3.c" \
   && gcc --coverage -O0 -I"$work/src" -c "$here/workload.c" && gcc --coverage sqlite3.o workload.o -lm -o workload)
(cd obj && ./workload "${ROWS:-20000}")

seconds() { date +%s.%N; }
t0=$(seconds)
(cd json && gcov --json-format "$work"/obj/*.gcda >gcov.out)
t1=$(seconds)
"$build/vorelcov-import-gcov" --spi "$work/big.spi" --dpi "$work/big.dpi" json
t2=$(seconds)
(cd text && gcov "$work"/obj/*.gcda >gcov.out)
(cd report && "$build/vorelcov" -spi "$work/big.spi" -dpi "$work/big.dpi" -txtlcov -nopmeter >/dev/null)
t3=$(seconds)
awk -v a="$t0" -v b="$t1" -v c="$t2" 'BEGIN { printf "gcov --json-format: %.2f s   vorelcov-import-gcov: %.2f s\n", b - a, c - b }'
echo "JSON: $(du -b json/*.gcov.json.gz | awk '{ s += $1 } END { print s }') bytes compressed"
"$top/scripts/compare-gcov-lines.sh" text report text/gcov.out "$work/"
