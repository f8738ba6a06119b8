#!/usr/bin/env bash
# The command-line tool on the documents a word processor wrote (bench/make-wordprocessor-rtf.sh), file to
# file, to an HTML5 document, on one processor: speed and peak memory at 5, 20 and 80 MB, the 20 MB document
# with --all and to standard output, and how the 80 MB document's cost compares with the 5 MB one's. Given a
# second build (a baseline), every run alternates between the two, so that load from elsewhere hits both alike.
#
# Usage: bench/wordprocessor_speed.sh [--runs N] [BASELINE_TOOL]   (default 7 runs; MB = 10^6 bytes)
# CORVANE_XHTML=/path/to/corvane-xhtml measures another build than build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=7
if [ "${1:-}" = --runs ]; then runs=$2; shift 2; fi
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "--runs takes a positive whole number" >&2; exit 2; }
ours=${CORVANE_XHTML:-build/release/cli/corvane-xhtml}
baseline=${1:-}
[ -x "$ours" ] || { echo "no executable at $ours; build the release preset first" >&2; exit 2; }
[ -z "$baseline" ] || [ -x "$baseline" ] || { echo "no executable at $baseline" >&2; exit 2; }
command -v /usr/bin/time >/dev/null || { echo "needs GNU time (Debian package time)" >&2; exit 2; }

mapfile -t documents < <(bench/make-wordprocessor-rtf.sh)
work=$(mktemp -d -p "$([ -d /dev/shm ] && [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$work"' EXIT
# One processor, as the figures are per core; taskset is there on any Debian (util-linux).
pin=()
command -v taskset >/dev/null && pin=(taskset -c "$(($(nproc) - 1))")

# case: label, document, options, output (a file, or - for standard output)
cases=(
  "5 MB|${documents[0]}||file"
  "20 MB|${documents[1]}||file"
  "80 MB|${documents[2]}||file"
  "20 MB --all|${documents[1]}|--all|file"
  "20 MB to stdout|${documents[1]}||stdout"
)
tools=(ours)
[ -n "$baseline" ] && tools+=(baseline)
declare -A seconds peak
for ((run = 1; run <= runs; run++)); do
  for entry in "${cases[@]}"; do
    IFS='|' read -r label document options output <<<"$entry"
    for tool in "${tools[@]}"; do
      binary=$ours
      [ "$tool" = baseline ] && binary=$baseline
      target=(-o "$work/out.html")
      [ "$output" = stdout ] && target=()
      # Every run writes a new file: replacing the last run's output would add the time the file system
      # takes to free it, which is no part of the conversion.
      rm -f "$work/out.html" "$work/stdout.html"
      start=$(date +%s%N)
      # shellcheck disable=SC2086 # options are words
      "${pin[@]}" /usr/bin/time -f %M -o "$work/rss" "$binary" --doctype html5 $options "${target[@]}" \
        "$document" >"$work/stdout.html"
      end=$(date +%s%N)
      seconds[$label,$tool]+="$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f", (e - s) / 1e9 }') "
      rss=$(tail -n1 "$work/rss")
      [ "$rss" -le "${peak[$label,$tool]:-0}" ] || peak[$label,$tool]=$rss
    done
  done
  echo "run $run/$runs done" >&2
done

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
printf '%d runs, medians; one processor%s; load average %s\n\n' "$runs" "${pin:+ (taskset)}" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-18s %-9s %8s %9s %11s\n' case build MB/s "peak MB" "peak/input"
for entry in "${cases[@]}"; do
  IFS='|' read -r label document options output <<<"$entry"
  bytes=$(stat -c %s "$document")
  for tool in "${tools[@]}"; do
    time=$(median <<<"${seconds[$label,$tool]}")
    printf '%-18s %-9s %8.1f %9.1f %11.2f\n' "$label" "$tool" "$(awk -v b="$bytes" -v t="$time" 'BEGIN { print b / 1e6 / t }')" \
      "$(awk -v k="${peak[$label,$tool]}" 'BEGIN { print k * 1024 / 1e6 }')" \
      "$(awk -v k="${peak[$label,$tool]}" -v b="$bytes" 'BEGIN { print k * 1024 / b }')"
  done
done
echo
for tool in "${tools[@]}"; do
  small=$(median <<<"${seconds[5 MB,$tool]}")
  large=$(median <<<"${seconds[80 MB,$tool]}")
  printf '%s: the 80 MB document costs %.2f times the 5 MB one (%.2f times its size)\n' "$tool" \
    "$(awk -v a="$large" -v b="$small" 'BEGIN { print a / b }')" \
    "$(awk -v a="$(stat -c %s "${documents[2]}")" -v b="$(stat -c %s "${documents[0]}")" 'BEGIN { print a / b }')"
done
