#!/usr/bin/env bash
# Compares the counts of vorelcov's HTML source views (-counts) with gcov's:
#   compare-gcov-html.sh GCOV_TEXT_DIR HTML_REPORT_DIR [ROOT]
# GCOV_TEXT_DIR holds the *.gcov files of plain `gcov`, HTML_REPORT_DIR the
# report (CodeCoverage/*_SRC.HTML). The first count under a source line (its
# line block) must be gcov's count; a line gcov counts as run must show it;
# a line gcov shows as never run or without code may show no count or 0.
# ROOT (with its final '/') is the project's root: an imported profile names
# its files, and so its pages, relative to it.
# Prints the number of lines compared; status 1 on any mismatch.
set -euo pipefail
text_dir=$1 report_dir=$2 root=${3:-}
bad=0 compared=0
for gcov_file in "$text_dir"/*.gcov; do
  src=$(sed -n '1s/^ *-: *0:Source://p' "$gcov_file")
  [ -n "$root" ] && src=${src#"$root"}
  # The page of a source path: last '.' -> '_', '/' ':' '\' -> '_', upper case.
  base=$(printf '%s' "$src" | sed -E 's/\.([^./]*)$/_\1/; s#[/:\\]#_#g' | tr '[:lower:]' '[:upper:]')
  page="$report_dir/CodeCoverage/${base}_SRC.HTML"
  if [ ! -f "$page" ]; then echo "no source view for $src"; bad=$((bad + 1)); continue; fi
  result=$(awk '
    FNR == 1 { kind++ }
    kind == 1 {
      if (!match($0, /^ *[^:]+: *[0-9]+:/)) next
      split($0, f, ":"); c = f[1]; gsub(/[ *,]/, "", c); line = f[2] + 0
      if (line == 0 || (line in want)) next
      want[line] = (c == "-" || c == "#####" || c == "=====") ? 0 : c
      next
    }
    match($0, /^ *[0-9]+\) /) { line = substr($0, 1, RLENGTH) + 0; next }
    /^        <a style=/ && match($0, /\^ [0-9,]+/) {
      c = substr($0, RSTART + 2, RLENGTH - 2); gsub(/,/, "", c)
      if (!(line in shown)) shown[line] = c
    }
    END {
      n = 0; bad = 0
      for (line in want) {
        n++
        s = (line in shown) ? shown[line] : "none"
        if ((want[line] > 0 && s != want[line]) || (want[line] == 0 && s != "none" && s != 0)) {
          printf "mismatch line %d: gcov %s, HTML %s\n", line, want[line], s; bad++
        }
      }
      for (line in shown) if (!(line in want) && shown[line] != 0) { printf "count on line %d, gcov none\n", line; bad++ }
      printf "%d %d\n", n, bad
    }' "$gcov_file" "$page")
  summary=${result##*$'\n'}
  [ "$summary" = "$result" ] || printf '%s\n' "${result%$'\n'*}" | sed "s|^|$src: |"
  compared=$((compared + ${summary% *}))
  bad=$((bad + ${summary#* }))
done
echo "$compared HTML line counts compared with gcov's, $bad mismatches"
[ "$bad" -eq 0 ]
