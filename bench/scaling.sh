#!/usr/bin/env bash
# Runs bench/hostile_scaling and prints, per shape, the median CPU time at each size and its ratio to the
# size before (each size is twice the one before), then the ratio per doubling fitted to all sizes (the
# least-squares slope of log time over log size). A linear stage gives ratios near 2, a quadratic one near
# 4. A shape whose fitted ratio is above 2.2 is flagged, and the script then exits 1; single steps above
# 2.2 are marked, since on a machine whose speed swings one step can be off by a third.
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
    function finish() {
      if (count < 2) return
      slope = (count * sxy - sx * sy) / (count * sxx - sx * sx)
      fitted = 2 ^ slope
      flag = fitted > limit ? "  <-- above " limit : ""
      if (fitted > limit) flagged++
      printf "  fitted ratio per doubling %.2f%s\n", fitted, flag
    }
    {
      if ($1 != last) {
        finish()
        printf "%s\n", $1
        last = $1
        previous = 0
        count = sx = sy = sxx = sxy = 0
      }
      cpu = $3 + 0
      if (previous > 0) {
        ratio = cpu / previous
        printf "  %10s %12.3f %s %6.2f%s\n", $2, cpu, $4, ratio, (ratio > limit ? "  (step above " limit ")" : "")
      } else {
        printf "  %10s %12.3f %s %6s\n", $2, cpu, $4, "-"
      }
      x = log($2) / log(2)
      y = log(cpu) / log(2)
      count++
      sx += x
      sy += y
      sxx += x * x
      sxy += x * y
      previous = cpu
      rows++
    }
    END {
      finish()
      if (rows == 0) { print "no benchmark results" > "/dev/stderr"; exit 2 }
      if (flagged > 0) { printf "%d shape(s) above %s per doubling\n", flagged, limit; exit 1 }
      printf "every shape at most %s per doubling\n", limit
    }'
