#!/usr/bin/env bash
# Batch throughput of corvane-xhtml: converts a folder of at least 100 MB of RTF (copies of the corpus files)
# into an empty folder with -j 1 and with -j 2, alternating, and prints the median times and their ratio.
# Usage: bench/batch_speed.sh [MEGABYTES] [RUNS]   (the release build must exist: scripts/test or cmake --build)
# The folders live in /dev/shm when it exists, so that the figures are the tool's and not the disk's
# writeback; BATCH_FOLDER=/path puts them elsewhere (for example on the disk, to see its cost).
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${CORVANE_XHTML:-build/release/cli/corvane-xhtml}
corpus=${CORVANE_CORPUS:-tests/data/corpus}
megabytes=${1:-100}
runs=${2:-5}
[ -x "$tool" ] || { echo "no executable at $tool; build the release preset first" >&2; exit 2; }
if [ -z "${BATCH_FOLDER:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then BATCH_FOLDER=/dev/shm; fi

work=$(mktemp -d -p "${BATCH_FOLDER:-${TMPDIR:-/tmp}}")
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"

# Only documents that convert on their own take part, so that both runs time the same work.
sources=()
while IFS= read -r -d '' file; do
  if "$tool" --log-level fatal "$file" >/dev/null 2>&1; then sources+=("$file"); fi
done < <(find "$corpus" -name '*.rtf' -type f -print0 | sort -z)
[ ${#sources[@]} -gt 0 ] || { echo "no convertible RTF under $corpus" >&2; exit 2; }

wanted=$((megabytes * 1024 * 1024))
total=0
round=0
while [ "$total" -lt "$wanted" ]; do
  round=$((round + 1))
  for file in "${sources[@]}"; do
    cp "$file" "$work/in/r${round}_$(basename "$file")"
    total=$((total + $(stat -c %s "$file")))
  done
done
count=$(find "$work/in" -name '*.rtf' | wc -l)
awk -v n="$count" -v b="$total" -v f="$work" \
  'BEGIN { printf "input: %d files, %.1f MB, in %s\n", n, b / 1048576, f }'

run() { # jobs -> seconds; the results go into an empty folder, as when a folder is converted the first time
  local start end
  rm -rf "$work/out$1"
  mkdir "$work/out$1"
  start=$(date +%s.%N)
  "$tool" --log-level fatal -j "$1" -o "$work/out$1" "$work"/in/*.rtf 2>/dev/null
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
one=()
two=()
for _ in $(seq "$runs"); do
  one+=("$(run 1)")
  two+=("$(run 2)")
done
diff -rq "$work/out1" "$work/out2" >/dev/null || { echo "results of -j 1 and -j 2 differ" >&2; exit 1; }
a=$(printf '%s\n' "${one[@]}" | median)
b=$(printf '%s\n' "${two[@]}" | median)
echo "-j 1 runs: ${one[*]}"
echo "-j 2 runs: ${two[*]}"
awk -v a="$a" -v b="$b" -v n="$runs" \
  'BEGIN { printf "-j 1: %.3f s\n-j 2: %.3f s (medians of %d)\nratio: %.2f (target >= 1.8 on two cores)\n", a, b, n, a / b }'
