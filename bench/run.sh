#!/usr/bin/env bash
# Speed and memory benchmarks of vorelcov on synthetic programs.
#
#   bench/run.sh           full sizes (a few minutes on two cores)
#   bench/run.sh --quick   a tenth of the sizes, as a smoke check
#
# Builds vorelcov and the bench tools (Release) into build-bench/ (or
# $BENCH_BUILD_DIR), writes the workloads into build-bench/bench-work/ (kept
# between runs and rewritten when their shape changes), runs every case three
# times under /usr/bin/time, each time in a fresh output directory (in memory
# when /dev/shm is there, see below), and prints the median wall time, CPU
# time (user + system) and peak RSS of each case, then the ratios with their
# targets. Every ratio compares two cases of this one run. Time ratios use
# wall time, read from the clock around each run (the 10 ms steps of %e are
# too coarse for the floor). Exit status 1 when a case failed.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/.." && pwd)"
build="${BENCH_BUILD_DIR:-$top/build-bench}"
scratch="$build/bench-work"
runs=3
# The reports are written to memory (/dev/shm) when it is there: on a disk
# shared with other builds, creating and removing the 100,000 pages of the
# largest case can take minutes and its noise would swamp the measurement.
# Set BENCH_OUT_DIR to measure on another file system.
if [ -z "${BENCH_OUT_DIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  out_root=$(mktemp -d /dev/shm/vorelcov-bench.XXXXXX)
  trap 'rm -rf "$out_root"' EXIT
else
  out_root="${BENCH_OUT_DIR:-$scratch/out}"
fi

div=1
mode="full sizes"
case "${1:-}" in
  "") ;;
  --quick) div=10; mode="quick: a tenth of the full sizes" ;;
  *) echo "usage: bench/run.sh [--quick]" >&2; exit 2 ;;
esac

# Workload shapes (full sizes; --quick divides the counts by 10).
many_files=$((1000 / div))          # the many-files program ...
many10_files=$((10000 / div))       # ... and ten times as many files of its shape
many_shape=(--routines 20 --lines 15 --blocks 4)
huge_routines=$((50000 / div))      # one file of 20-line routines: 1,000,000 lines
huge_shape=(--files 1 --routines "$huge_routines" --lines 20 --blocks 6 --markers)
per_file=500                        # routines per file in the many-routines programs
small_routines=$((100000 / div))
large_routines=$((500000 / div))
routine_shape=(--routines "$per_file" --lines 6 --blocks 2)

# --- tools -------------------------------------------------------------------

if [ ! -x /usr/bin/time ]; then
  echo "Installing GNU time ..."
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq time >/dev/null
fi

echo "Building into $build ..."
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVORELCOV_BENCH=ON \
  -DVORELCOV_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target vorelcov floor gen_program spin >/dev/null
vorelcov="$build/vorelcov"
floor="$build/bench/floor"
gen="$build/bench/gen_program"
spin="$build/bench/spin"

# --- workloads ---------------------------------------------------------------

mkdir -p "$scratch"
# generate NAME ARGS...: the program in $scratch/NAME, rewritten only when the
# arguments or the generator changed.
generate() {
  local name=$1
  shift
  local dir="$scratch/$name"
  local want
  want="$* $(stat -c %Y "$gen")"
  if [ -f "$dir/.shape" ] && [ "$(cat "$dir/.shape")" = "$want" ]; then return; fi
  rm -rf "$dir"
  "$gen" --out "$dir" "$@" | sed 's/^/  /'
  sed "s|^|$dir/|" "$dir/sources.txt" >"$dir/sources.abs"
  echo "$want" >"$dir/.shape"
}

echo "Writing workloads into $scratch ..."
generate many --files "$many_files" "${many_shape[@]}" --comp
generate many10 --files "$many10_files" "${many_shape[@]}"
generate huge "${huge_shape[@]}"
generate routines_small --files $((small_routines / per_file)) "${routine_shape[@]}"
generate routines_large --files $((large_routines / per_file)) "${routine_shape[@]}"
generate tiny --files 2 --routines 3 --lines 6 --blocks 2

# --- measuring ---------------------------------------------------------------

declare -A wall cpu rss failed
failures=0

median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# measure KEY CMD...: runs CMD $runs times, each in a fresh empty output
# directory that is its working directory, and keeps the medians.
measure() {
  local key=$1
  shift
  local out="$out_root/$key" walls=() cpus=() rsss=() i rc u s m t0 t1
  for ((i = 0; i < runs; i++)); do
    rm -rf "$out"
    mkdir -p "$out"
    rc=0
    t0=$(date +%s%N)
    (cd "$out" && /usr/bin/time -f '%e %U %S %M' -o "$scratch/time.txt" "$@" \
      >"$scratch/stdout.txt" 2>"$scratch/stderr.txt") || rc=$?
    t1=$(date +%s%N)
    if [ "$rc" -ne 0 ]; then
      failed[$key]="exit $rc"
      failures=$((failures + 1))
      echo "  $key FAILED (exit $rc): $*" >&2
      tail -n 5 "$scratch/stderr.txt" | sed 's/^/    /' >&2
      break
    fi
    # %e has 10 ms steps, too coarse for the floor: wall time comes from the
    # clock around the run (a millisecond or two of fork and exec included).
    read -r _ u s m <"$scratch/time.txt"
    walls+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.3f", (b - a) / 1e9}')")
    cpus+=("$(awk -v u="$u" -v s="$s" 'BEGIN {printf "%.2f", u + s}')")
    rsss+=("$m")
  done
  rm -rf "$out"
  if [ -z "${failed[$key]:-}" ]; then
    wall[$key]=$(median "${walls[@]}")
    cpu[$key]=$(median "${cpus[@]}")
    rss[$key]=$(median "${rsss[@]}")
  fi
  printf '.'
}

# vorelcov on a workload: report KEY WORKLOAD OPTIONS...
report() {
  local key=$1 dir="$scratch/$2"
  shift 2
  measure "$key" "$vorelcov" -spi "$dir/prog.spi" -dpi "$dir/prog.dpi" -srcroot "$dir/" \
    -nopmeter "$@"
}
floor_of() { measure "$1" "$floor" . "@$scratch/$2/sources.abs"; }

# Parallel jobs are measured only when the option exists.
jobs=0
if (cd "$scratch/tiny" && mkdir -p jobs-probe && cd jobs-probe &&
    "$vorelcov" -spi ../prog.spi -dpi ../prog.dpi -srcroot "$scratch/tiny/" -nopmeter \
      --jobs 1 >/dev/null 2>&1); then
  jobs=1
fi
rm -rf "$scratch/tiny/jobs-probe"

load_at_start=$(cut -d' ' -f1 /proc/loadavg)
start=$SECONDS
printf 'Measuring (%d runs per case) ' "$runs"
floor_of floor_many many
report html_many many
report lcov_many many -txtlcov
report comp_many many -comp "$scratch/many/prog.comp"
if [ "$jobs" = 1 ]; then
  report jobs1_many many --jobs 1
  report jobs2_many many --jobs 2
  measure spin_one "$spin"
  measure spin_two sh -c '"$0" >/dev/null & "$0" >/dev/null; wait' "$spin"
fi
floor_of floor_huge huge
report html_huge huge
report lcov_huge huge -txtlcov
report marker_huge huge -onelinedsbl NOTFEASIBLE_LINE
report html_rsmall routines_small
report html_rlarge routines_large
report html_many10 many10
# The modern report beside the specified one (--html), where the option exists.
if "$vorelcov" --help 2>/dev/null | grep -q -- '--html <dir>'; then
  report modern_many many --html modern
  report modern_many10 many10 --html modern
fi
echo " done in $((SECONDS - start)) s"

# --- the table ---------------------------------------------------------------

count() { awk -v n="$1" 'BEGIN {
  if (n >= 1000000 && n % 1000000 == 0) printf "%dM", n / 1000000
  else if (n >= 1000 && n % 1000 == 0) printf "%dk", n / 1000
  else printf "%d", n }'; }
huge_lines=$((huge_routines * 20))

echo
echo "vorelcov benchmarks ($mode), median of $runs runs"
echo "reports written to $out_root"
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) (at the start: $load_at_start)"
if awk -v l="$load_at_start" -v n="$(nproc)" 'BEGIN {exit !(l > n)}'; then
  echo "warning: the machine was busy with other work; wall times are inflated, the cpu column less so"
fi
echo
row() {
  local key=$1 label=$2
  if [ -n "${failed[$key]:-}" ]; then
    printf '%-52s %8s %8s %9s\n' "$label" "FAILED" "(${failed[$key]})" ""
  elif [ -z "${wall[$key]:-}" ]; then
    printf '%-52s %8s %8s %9s\n' "$label" "n/a" "n/a" "n/a"
  else
    printf '%-52s %8.3f %8.2f %9.1f\n' "$label" "${wall[$key]}" "${cpu[$key]}" \
      "$(awk -v k="${rss[$key]}" 'BEGIN {print k / 1024}')"
  fi
}
printf '%-52s %8s %8s %9s\n' "case" "wall s" "cpu s" "RSS MiB"
many_label="$(count "$many_files") files x 20 routines x 15 lines"
row floor_many "floor, $many_label"
row html_many "HTML, $many_label"
row lcov_many "-txtlcov, $many_label"
row comp_many "HTML -comp, $many_label"
row jobs1_many "HTML --jobs 1, $many_label"
row jobs2_many "HTML --jobs 2, $many_label"
huge_label="1 file, $(count "$huge_routines") routines x 20 lines"
row floor_huge "floor, $huge_label"
row html_huge "HTML, $huge_label"
row lcov_huge "-txtlcov, $huge_label"
row marker_huge "HTML -onelinedsbl, $huge_label"
row html_rsmall "HTML, $(count "$small_routines") routines in $((small_routines / per_file)) files"
row html_rlarge "HTML, $(count "$large_routines") routines in $((large_routines / per_file)) files"
row html_many10 "HTML, $(count "$many10_files") files x 20 routines x 15 lines"
row modern_many "HTML --html, $many_label"
row modern_many10 "HTML --html, $(count "$many10_files") files x 20 routines x 15 lines"

# ratio LABEL METRIC NUM DEN OP TARGET: NUM / DEN of wall time or peak RSS,
# checked against OP TARGET (OP "-": no target). Time ratios also show the
# CPU-time ratio, which suffers less when other work shares the machine.
quotient() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else printf "n/a"}'; }
ratio() {
  local label=$1 metric=$2 num=$3 den=$4 op=$5 target=$6 a b value verdict target_text cpu_text=""
  if [ "$metric" = wall ]; then a=${wall[$num]:-}; b=${wall[$den]:-}; else a=${rss[$num]:-}; b=${rss[$den]:-}; fi
  target_text="$op $target"
  [ "$op" != "-" ] || target_text="-"
  if [ -z "$a" ] || [ -z "$b" ]; then
    printf '%-52s %8s %8s\n' "$label" "n/a" "$target_text"
    return
  fi
  value=$(quotient "$a" "$b")
  verdict=""
  if [ "$op" != "-" ]; then
    if awk -v v="$value" -v t="$target" -v op="$op" 'BEGIN {exit !((op == "<=") ? v <= t : v < t)}'; then
      verdict=ok
    else
      verdict=MISSED
    fi
  fi
  [ "$metric" != wall ] || cpu_text=$(quotient "${cpu[$num]}" "${cpu[$den]}")
  printf '%-52s %8s %8s  %-7s %6s\n' "$label" "$value" "$target_text" "$verdict" "$cpu_text"
}

echo
printf '%-52s %8s %8s  %-7s %6s\n' "ratio" "value" "target" "" "cpu"
ratio "HTML / floor, $(count "$many_files") files" wall html_many floor_many "<=" 2
ratio "-txtlcov / floor, $(count "$many_files") files" wall lcov_many floor_many "<=" 1.5
ratio "HTML / floor per line, $(count "$huge_lines")-line file" wall html_huge floor_huge "<=" 3
ratio "-txtlcov / floor per line, $(count "$huge_lines")-line file" wall lcov_huge floor_huge "<=" 3
ratio "markers / none, $(count "$huge_lines")-line file" wall marker_huge html_huge "<=" 1.2
ratio "time $(count "$large_routines") / $(count "$small_routines") routines" wall html_rlarge html_rsmall "<=" 5.5
ratio "peak RSS $(count "$many10_files") / $(count "$many_files") files" rss html_many10 html_many "<=" 1.5
ratio "HTML --html / HTML, $(count "$many_files") files" wall modern_many html_many "<=" 1.5
ratio "HTML --html / HTML, $(count "$many10_files") files" wall modern_many10 html_many10 "<=" 1.5
ratio "HTML --html time $(count "$many10_files") / $(count "$many_files") files" wall modern_many10 modern_many "<=" 12
if [ -n "${rss[html_rlarge]:-}" ]; then
  mb=$(awk -v k="${rss[html_rlarge]}" 'BEGIN {printf "%.1f", k * 1024 / 1e6}')
  verdict=$(awk -v v="$mb" 'BEGIN {print (v < 250 ? "ok" : "MISSED")}')
  printf '%-52s %8s %8s  %s\n' "peak RSS MB, $(count "$large_routines") routines" "$mb" "< 250" "$verdict"
else
  printf '%-52s %8s %8s\n' "peak RSS MB, $(count "$large_routines") routines" "n/a" "< 250"
fi
if [ "$jobs" = 1 ]; then
  ratio "--jobs 2 / --jobs 1, $(count "$many_files") files HTML" wall jobs2_many jobs1_many "<=" 0.6
  # Two copies of a one-thread CPU loop at once against one copy, halved: the
  # best two-thread / one-thread time this machine allows (0.5 on two full cores).
  if [ -n "${wall[spin_two]:-}" ] && [ -n "${wall[spin_one]:-}" ]; then
    printf '%-52s %8s %8s\n' "  machine's best two / one thread (CPU loop)" \
      "$(awk -v a="${wall[spin_two]}" -v b="${wall[spin_one]}" 'BEGIN {printf "%.2f", a / (2 * b)}')" "-"
  fi
else
  printf '%-52s %8s %8s  %s\n' "--jobs 2 / --jobs 1, $(count "$many_files") files HTML" "n/a" "<= 0.6" \
    "(vorelcov has no --jobs)"
fi
[ "$div" = 1 ] || echo "(quick sizes: the targets are set for the full sizes)"

[ "$failures" -eq 0 ]
