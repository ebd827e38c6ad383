#!/usr/bin/env bash
# Import speed with many lines gcov attributes to no function: one generated
# unit whose source file has FUNCTIONS functions of 40 lines each (default
# 4,000) and LINES such lines (default 80,000) spread over them and past
# them. Each line must find its innermost enclosing function (or the line
# holder) in n log n: the import should stay well under a second.
# Run:  bench/gcov-import/unattributed.sh      (BUILD_DIR, default build)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
build="$(cd "${BUILD_DIR:-$top/build}" && pwd)"
[ -x "$build/vorelcov-import-gcov" ] || cmake --build "$build" -j 2 --target vorelcov-import-gcov
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
awk -v functions="${FUNCTIONS:-4000}" -v lines="${LINES:-80000}" 'BEGIN {
  printf "{\"format_version\": \"1\", \"current_working_directory\": \"/w\", \"data_file\": \"u.gcda\",\n"
  printf " \"files\": [{\"file\": \"big.c\", \"functions\": ["
  for (f = 0; f < functions; f++)
    printf "%s{\"name\": \"f%d\", \"start_line\": %d, \"start_column\": 1, \"end_line\": %d, \"end_column\": 1, \"execution_count\": %d}",
           f ? ", " : "", f, f * 40 + 1, f * 40 + 39, f % 2
  printf "],\n \"lines\": ["
  for (f = 0; f < functions; f++)
    printf "%s{\"line_number\": %d, \"count\": %d, \"function_name\": \"f%d\"}", f ? ", " : "", f * 40 + 1, f % 2, f
  for (l = 0; l < lines; l++)
    printf ", {\"line_number\": %d, \"count\": 1}", 2 + (l * 7) % (functions * 48)
  printf "]}]}\n"
}' >"$work/u.gcov.json"
start=$(date +%s.%N)
"$build/vorelcov-import-gcov" --spi "$work/u.spi" --dpi "$work/u.dpi" "$work/u.gcov.json"
end=$(date +%s.%N)
awk -v a="$start" -v b="$end" -v n="${LINES:-80000}" 'BEGIN { printf "import with %d unattributed lines: %.2f s\n", n, b - a }'
