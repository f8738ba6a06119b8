#!/usr/bin/env bash
# Runs bench/hostile_scaling and prints, per shape, the median CPU time at each size and its ratio to the
# size before (each size is twice the one before). A linear stage gives ratios near 2; a ratio above 2.2
# is flagged. Exits 1 when any ratio is flagged.
# Usage: bench/scaling.sh [REPETITIONS] [extra benchmark options, e.g. --benchmark_filter=Toggles]
#        (the release build must exist: cmake --build --preset release --target hostile_scaling)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${CORVANE_SCALING_BENCH:-build/release/bench/hostile_scaling}
repetitions=${1:-5}
shift || true
[ -x "$program" ] || { echo "no executable at $program; build the release preset first" >&2; exit 2; }

"$program" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 --benchmark_format=csv "$@" 2>/dev/null |
  awk -F, -v limit=2.2 '
    # Rows look like "BM_Toggles/8192_median",5,12.3,12.1,ms,...: name, iterations, real, cpu, unit.
    $1 ~ /_median"?$/ {
      name = $1
      gsub(/"/, "", name)
      sub(/_median$/, "", name)
      split(name, part, "/")
      shape = part[1]
      sub(/^BM_/, "", shape)
      if (shape != last) {
        printf "%s\n", shape
        last = shape
        previous = 0
      }
      cpu = $4 + 0
      if (previous > 0) {
        ratio = cpu / previous
        flag = ratio > limit ? "  <-- above " limit : ""
        if (ratio > limit) flagged++
        printf "  %10s %12.3f %s %6.2f%s\n", part[2], cpu, $5, ratio, flag
      } else {
        printf "  %10s %12.3f %s %6s\n", part[2], cpu, $5, "-"
      }
      previous = cpu
      rows++
    }
    END {
      if (rows == 0) { print "no benchmark results" > "/dev/stderr"; exit 2 }
      if (flagged > 0) { printf "%d ratio(s) above %s per doubling\n", flagged, limit; exit 1 }
      printf "every ratio at most %s per doubling\n", limit
    }'
