#!/usr/bin/env bash
# Batch throughput of corvane-xhtml: converts a folder of at least 100 MB of RTF (copies of the corpus files,
# made in a temporary folder) with -j 1 and with -j 2, and prints both times (best of three) and their ratio.
# Usage: bench/batch_speed.sh [MEGABYTES]   (the release build must exist: scripts/test or cmake --build)
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${CORVANE_XHTML:-build/release/cli/corvane-xhtml}
corpus=${CORVANE_CORPUS:-../shared/corpus}
megabytes=${1:-100}
[ -x "$tool" ] || { echo "no executable at $tool; build the release preset first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/out1" "$work/out2"

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
awk -v n="$count" -v b="$total" 'BEGIN { printf "input: %d files, %.1f MB\n", n, b / 1048576 }'

run() { # jobs output-folder -> seconds
  local start end
  start=$(date +%s.%N)
  "$tool" --log-level fatal -j "$1" -o "$2" "$work"/in/*.rtf 2>/dev/null
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}

# Alternating runs, the best of three each: other work on the machine only ever slows a run down.
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
one=""
two=""
for _ in 1 2 3; do
  one=$(min "$one" "$(run 1 "$work/out1")")
  two=$(min "$two" "$(run 2 "$work/out2")")
done
diff -rq "$work/out1" "$work/out2" >/dev/null || { echo "results of -j 1 and -j 2 differ" >&2; exit 1; }
awk -v a="$one" -v b="$two" \
  'BEGIN { printf "-j 1: %.2f s\n-j 2: %.2f s\nratio: %.2f (target >= 1.8 on two cores)\n", a, b, a / b }'
