#!/usr/bin/env bash
# Runs bench/hostile_scaling and prints, per shape, the median CPU time at each size and its ratio to the
# size before (each size is twice the one before). A linear stage gives ratios near 2; a ratio above 2.2
# is flagged. Exits 1 when any ratio is flagged.
# Usage: bench/scaling.sh [REPETITIONS] [extra benchmark options, e.g. --benchmark_filter=Toggles]
#        (the release build must exist: cmake --build --preset release --target hostile_scaling)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${CORVANE_SCALING_BENCH:-build/release/bench/hostile_scaling}
repetitions=${1:-7}
shift || true
[ -x "$program" ] || { echo "no executable at $program; build the release preset first" >&2; exit 2; }

# The repetitions of all sizes run in random order, so that a burst of other work on the machine slows
# a few repetitions of several sizes (which the medians discard) rather than every repetition of one.
"$program" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_enable_random_interleaving=true --benchmark_min_time=0.2 --benchmark_format=csv "$@" 2>/dev/null |
  # Rows look like "BM_Toggles/8192_median",5,12.3,12.1,ms,...: name, iterations, real, cpu, unit.
  awk -F, '$1 ~ /_median"?$/ { name = $1; gsub(/"/, "", name); gsub(/^BM_|_median$/, "", name); sub("/", " ", name); print name, $4, $5 }' |
  sort -k1,1 -k2,2n |
  awk -v limit=2.2 '
    {
      if ($1 != last) {
        printf "%s\n", $1
        last = $1
        previous = 0
      }
      cpu = $3 + 0
      if (previous > 0) {
        ratio = cpu / previous
        flag = ratio > limit ? "  <-- above " limit : ""
        if (ratio > limit) flagged++
        printf "  %10s %12.3f %s %6.2f%s\n", $2, cpu, $4, ratio, flag
      } else {
        printf "  %10s %12.3f %s %6s\n", $2, cpu, $4, "-"
      }
      previous = cpu
      rows++
    }
    END {
      if (rows == 0) { print "no benchmark results" > "/dev/stderr"; exit 2 }
      if (flagged > 0) { printf "%d ratio(s) above %s per doubling\n", flagged, limit; exit 1 }
      printf "every ratio at most %s per doubling\n", limit
    }'
