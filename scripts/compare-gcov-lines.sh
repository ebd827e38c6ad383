#!/usr/bin/env bash
# Compares vorelcov's line coverage with gcov's own, line by line:
#   compare-gcov-lines.sh GCOV_TEXT_DIR LCOV_REPORT_DIR GCOV_SUMMARY [ROOT]
# GCOV_TEXT_DIR holds the *.gcov files of plain `gcov`, LCOV_REPORT_DIR the
# output of `vorelcov -txtlcov` (CODE_COVERAGE.TXT and CodeCoverage/*.LCOV),
# GCOV_SUMMARY what `gcov` printed (its "Lines executed" figures).
# For every source line: gcov "-" must be "-" in the .LCOV file, "#####"
# or "=====" must be "#####", a count must be the same count. The total
# number of executable and executed lines must equal gcov's last "Lines
# executed" figure. Prints the numbers compared; status 1 on any mismatch.
# ROOT (with its final '/') is the project's root: an imported profile names
# its files relative to it in the .LCOV files, gcov by the absolute path.
set -euo pipefail
text_dir=$1 report_dir=$2 summary=$3 root=${4:-}

awk -v summary="$summary" -v txt="$report_dir/CODE_COVERAGE.TXT" -v root="$root" '
function trim(s) { gsub(/^ +| +$/, "", s); return s }
# Normalised count: "-" (not executable), "0" or the number.
function norm(c) {
  c = trim(c); gsub(/[*,]/, "", c)
  if (c == "#####" || c == "=====") return "0"
  return c
}
FNR == 1 { kind = (FILENAME ~ /\.gcov$/) ? "gcov" : "lcov"; src = "" }
kind == "gcov" {
  if (match($0, /^ *-: *0:Source:/)) { src = substr($0, RLENGTH + 1); next }
  if (!match($0, /^ *[^:]+: *[0-9]+:/)) next
  split($0, f, ":"); line = trim(f[2]) + 0
  if (line == 0 || ((src, line) in want)) next   # template instances repeat lines: the sum comes first
  want[src, line] = norm(f[1]); files[src] = 1
  next
}
kind == "lcov" {
  if (FNR == 1) { sub(/^ *-: /, ""); src = (substr($0, 1, 1) == "/" ? "" : root) $0; seen_file[src] = 1; next }
  if (!match($0, /^ *[^:]+: *[0-9]+:/)) next      # -blockcounts detail lines
  split($0, f, ":"); line = trim(f[2]) + 0
  got[src, line] = norm(f[1])
  next
}
END {
  compared = 0; bad = 0; executable = 0; executed = 0
  for (key in want) {
    split(key, k, SUBSEP); s = k[1]
    if (!(s in seen_file)) { missing[s] = 1; continue }
    compared++
    g = ((key in got) ? got[key] : "(none)")
    if (g == "?????") g = "-"
    if (g != want[key]) {
      if (bad < 20) printf "mismatch %s:%d: gcov %s, vorelcov %s\n", s, k[2], want[key], g
      bad++
    }
    if (want[key] != "-") { executable++; if (want[key] != "0") executed++ }
  }
  for (s in missing) { printf "no .LCOV file for %s\n", s; bad++ }
  # gcov: "Lines executed:76.98% of 126" (the last one is the total).
  while ((getline l < summary) > 0)
    if (match(l, /^Lines executed:[0-9.]+% of [0-9]+/)) { pct = l; sub(/^Lines executed:/, "", pct); split(pct, p, "% of ") }
  if (p[2] + 0 != executable || sprintf("%.2f", 100 * executed / (executable ? executable : 1)) != p[1]) {
    printf "totals: gcov %s%% of %s lines, compared %d of %d\n", p[1], p[2], executed, executable; bad++
  }
  # vorelcov: the "Lines:" table of CODE_COVERAGE.TXT (total, covered).
  while ((getline l < txt) > 0) {
    gsub(/,/, "", l)
    if (l ~ /^Lines:/) in_lines = 1
    else if (in_lines && l ~ /^ +[0-9]+ +[0-9]+ +[0-9]+/) { split(trim(l), t, / +/); in_lines = 0 }
  }
  if (t[1] + 0 != executable || t[2] + 0 != executed) {
    printf "CODE_COVERAGE.TXT lines: %s total, %s covered; gcov: %d, %d\n", t[1], t[2], executable, executed; bad++
  }
  printf "%d lines compared (%d executable, %d executed, gcov %s%% of %s), %d mismatches\n",
         compared, executable, executed, p[1], p[2], bad
  exit bad ? 1 : 0
}' "$text_dir"/*.gcov "$report_dir"/CodeCoverage/*.LCOV
