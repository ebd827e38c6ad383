#!/usr/bin/env bash
# Mutation check: applies each deliberate fault of scripts/mutants.list to the
# product code, one at a time, rebuilds and runs the suite, and reports which
# faults the suite catches.
#
#   scripts/mutants.sh            every mutant
#   scripts/mutants.sh 3 17       only mutants 3 and 17
#   scripts/mutants.sh --list     the list, with whether each text is found
#   scripts/mutants.sh --without REGEX [ids]
#                                 before dropping tests: runs the suite without
#                                 the tests matching REGEX (ctest -E) first, and
#                                 only when that misses the fault the dropped
#                                 tests; "dropped-only" marks a catch the cut
#                                 would lose
#   scripts/mutants.sh --matrix [ids]
#                                 runs the whole suite for every mutant and
#                                 records every test that catches it (for
#                                 finding tests that catch nothing alone)
#
#   BUILD_DIR     build directory (default: build-mutants; Release, tests on)
#   JOBS          parallel jobs for build and ctest (default: 2)
#   TEST_TIMEOUT  per-test timeout in seconds (default: 60)
#
# Results: caught (a test failed), survived (suite green), n/a (text not found
# exactly once: the code moved, update the list), no-compile (build failed).
# The mutated file is restored after every mutant, also on Ctrl-C.
set -uo pipefail
cd "$(dirname "$0")/.."

list=scripts/mutants.list
build_dir=${BUILD_DIR:-build-mutants}
jobs=${JOBS:-2}
timeout=${TEST_TIMEOUT:-60}

# mutant_tool <command> <id> : apply / check one mutant; restore from the backup.
mutant_tool() {
  python3 - "$list" "$@" <<'PY'
import sys, os
lst, cmd = sys.argv[1], sys.argv[2]
rows = []
for line in open(lst, encoding="utf-8"):
    line = line.rstrip("\n")
    if not line.strip() or line.lstrip().startswith("#"):
        continue
    parts = line.split(" ||| ")
    if len(parts) != 5:
        sys.exit("malformed line in %s: %s" % (lst, line))
    rows.append(parts)

def count(path, find):
    try:
        return open(path, encoding="utf-8").read().count(find)
    except OSError:
        return 0

if cmd == "ids":
    print(" ".join(r[0] for r in rows))
elif cmd == "list":
    for mid, path, find, repl, what in rows:
        n = count(path, find)
        state = "ok" if n == 1 else ("n/a" if n == 0 else "ambiguous(%d)" % n)
        print("%4s  %-12s %-36s %s" % (mid, state, path, what))
elif cmd in ("describe", "apply"):
    mid, backup = sys.argv[3], sys.argv[4] if len(sys.argv) > 4 else ""
    row = [r for r in rows if r[0] == mid]
    if not row:
        sys.exit("no mutant %s" % mid)
    _, path, find, repl, what = row[0]
    if cmd == "describe":
        print("%s\t%s" % (path, what))
        sys.exit(0)
    if count(path, find) != 1:
        sys.exit(3)
    text = open(path, encoding="utf-8").read()
    open(backup, "w", encoding="utf-8").write(text)
    open(path, "w", encoding="utf-8").write(text.replace(find, repl, 1))
PY
}

[[ -f $list ]] || { echo "missing $list" >&2; exit 1; }
if [[ ${1:-} == --list ]]; then
  mutant_tool list
  exit
fi
if [[ ${1:-} == -h || ${1:-} == --help ]]; then
  sed -n '2,/^set /p' "$0" | grep '^#' | sed 's/^# \{0,1\}//'
  exit
fi
without=""
stop=--stop-on-failure
most=3
if [[ ${1:-} == --matrix ]]; then
  stop=""
  most=100000
  shift
fi
if [[ ${1:-} == --without ]]; then
  without=${2:?--without needs a test-name regex}
  shift 2
fi
ids=("$@")
[[ ${#ids[@]} -gt 0 ]] || read -r -a ids <<<"$(mutant_tool ids)"

# Restoring: the path of the mutated file and its saved original. The
# restored file gets a fresh time stamp, so the next build recompiles it.
# The backup exists only from the moment the tool saved the original, so a
# signal at any point restores exactly what was changed.
backup=$(mktemp -u)
mutated=""
restore() {
  if [[ -n $mutated && -f $backup ]]; then
    cat "$backup" >"$mutated"
  fi
  rm -f "$backup"
  mutated=""
}
trap 'restore; rm -f "$backup"' EXIT
trap 'restore; echo; echo "interrupted" >&2; exit 130' INT TERM

if [[ ! -f $build_dir/CMakeCache.txt ]]; then
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVORELCOV_TESTS=ON >/dev/null || exit 1
fi
echo "baseline build and suite ..."
if ! cmake --build "$build_dir" -j "$jobs" >"$build_dir/mutants-build.log" 2>&1; then
  echo "the unmutated code does not build; see $build_dir/mutants-build.log" >&2
  exit 1
fi
if ! (cd "$build_dir" && ctest -j "$jobs" --timeout "$timeout" >mutants-ctest.log 2>&1); then
  echo "the suite fails without mutants; see $build_dir/mutants-ctest.log" >&2
  exit 1
fi

results="$build_dir/mutants-results.txt"
: >"$results"
caught=0 survived=0 na=0 nocompile=0 dropped=0 total=0
for id in "${ids[@]}"; do
  desc=$(mutant_tool describe "$id") || exit 1
  file=${desc%%$'\t'*}
  what=${desc#*$'\t'}
  total=$((total + 1))
  start=$SECONDS
  by=""
  mutated=$file
  mutant_tool apply "$id" "$backup"
  rc=$?
  if [[ $rc -eq 3 ]]; then
    status="n/a"
    mutated=""
  elif [[ $rc -ne 0 ]]; then
    exit 1
  else
    if ! cmake --build "$build_dir" -j "$jobs" >"$build_dir/mutants-build.log" 2>&1; then
      status="no-compile"
    elif (cd "$build_dir" && ctest -j "$jobs" $stop --timeout "$timeout" \
            ${without:+-E "$without"} >mutants-ctest.log 2>&1); then
      status="survived"
      if [[ -n $without ]] && ! (cd "$build_dir" && ctest -j "$jobs" --timeout "$timeout" \
                                   -R "$without" >mutants-ctest.log 2>&1); then
        status="dropped-only"
        by=$(grep -oE '[0-9]+ - [^ ]+ \((Failed|Timeout|SEGFAULT|Subprocess aborted|Exception)' \
               "$build_dir/mutants-ctest.log" | sed -E 's/^[0-9]+ - //; s/ \(.*//' | head -3 | tr '\n' ' ')
      fi
    else
      status="caught"
      # The first failing tests (every one with --matrix), for the results file.
      by=$(grep -oE '[0-9]+ - [^ ]+ \((Failed|Timeout|SEGFAULT|Subprocess aborted|Exception)' \
             "$build_dir/mutants-ctest.log" | sed -E 's/^[0-9]+ - //; s/ \(.*//' | head -"$most" | tr '\n' ' ')
    fi
    restore
  fi
  case $status in
    caught) caught=$((caught + 1)) ;;
    survived) survived=$((survived + 1)) ;;
    dropped-only) dropped=$((dropped + 1)) ;;
    n/a) na=$((na + 1)) ;;
    no-compile) nocompile=$((nocompile + 1)) ;;
  esac
  line=$(printf '%4s  %-10s %4ss  %-34s %s' "$id" "$status" $((SECONDS - start)) "$file" "$what")
  echo "$line"
  echo "$line${by:+  [by: ${by% }]}" >>"$results"
done

# Rebuild the restored code so the build directory matches the sources again.
cmake --build "$build_dir" -j "$jobs" >"$build_dir/mutants-build.log" 2>&1

echo
echo "summary: caught $caught, survived $survived, not applicable $na, does not compile $nocompile"
if [[ -n $without ]]; then
  echo "caught only by the tests matching '$without': $dropped"
  echo "caught $((caught + dropped)) of $total with them, $caught of $total without them"
else
  echo "caught $caught of $total"
fi
grep -E '  (survived|dropped-only|n/a|no-compile) ' "$results" | sed 's/^/  not caught: /'
