#!/usr/bin/env bash
# Our converter against the RTF-to-HTML converters people use today (unrtf, pandoc and the npm package
# @iarna/rtf-to-html), on the same three large documents: the RTF a word processor wrote
# (bench/make-wordprocessor-rtf.sh), the generated document, and the bodies of the real corpus files merged
# into one document. Every repetition runs each converter once in turn, so load from elsewhere on the
# machine hits them all alike; ours (and the baseline) first convert once untimed, so that their short runs
# do not pay for the memory the slow peer before them gave back. Prints, per document and converter, MB/s
# (median of the runs, MB = 10^6 bytes), peak memory (the largest maximum resident set of the runs) and our
# figures divided by each peer's.
#
# Usage: bench/peers.sh [--size MB] [--runs N] [--timeout SECONDS] [--corpus DIR]
#   --size MB        size of each document (default 20)
#   --runs N         repetitions per converter and document (default 3)
#   --timeout SEC    limit of one conversion; a peer that exceeds it is reported and not run again (default 600)
#   --corpus DIR     folder of real RTF files (default tests/data/corpus)
#
# Installs what is missing: the Debian packages unrtf, pandoc and time (and nodejs and npm when there is
# no npm), and the npm package, pinned, into build/peers. Builds corvane-xhtml and make_bench_rtf with
# the release preset; CORVANE_XHTML=/path/to/corvane-xhtml measures another build of ours, and
# CORVANE_BASELINE=/path/to/corvane-xhtml adds an earlier build as one more converter ("baseline").
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

size=20
runs=3
limit=600
corpus=${CORVANE_CORPUS:-tests/data/corpus}
while [ $# -gt 0 ]; do
  case $1 in
    --size) size=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --timeout) limit=$2; shift 2 ;;
    --corpus) corpus=$2; shift 2 ;;
    *) sed -n '9,13p' "$0" >&2; exit 2 ;;
  esac
done
[[ $size =~ ^[0-9]+$ && $size -gt 0 && $runs =~ ^[0-9]+$ && $runs -gt 0 && $limit =~ ^[0-9]+$ ]] ||
  { echo "--size, --runs and --timeout take positive whole numbers" >&2; exit 2; }
corpus=$(cd "$corpus" && pwd) || { echo "no corpus folder $corpus" >&2; exit 2; }

# --- Peers -------------------------------------------------------------------------------------------
npm_package=@iarna/rtf-to-html
npm_version=1.1.0
peers=$root/build/peers

missing=()
command -v unrtf >/dev/null || missing+=(unrtf)
command -v pandoc >/dev/null || missing+=(pandoc)
[ -x /usr/bin/time ] || missing+=(time)
command -v npm >/dev/null || missing+=(nodejs npm)
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update >&2
  "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >&2
fi
installed=$(node -p "require('$peers/node_modules/$npm_package/package.json').version" 2>/dev/null || true)
if [ "$installed" != "$npm_version" ]; then
  echo "Installing $npm_package@$npm_version into build/peers" >&2
  mkdir -p "$peers"
  npm install --prefix "$peers" --save-exact --no-audit --no-fund "$npm_package@$npm_version" >&2
fi

# --- Our converter and the document generator ---------------------------------------------------------
[ -f build/release/build.ninja ] || cmake --preset release >&2
cmake --build --preset release --target corvane-xhtml make_bench_rtf >&2
tool=${CORVANE_XHTML:-$root/build/release/cli/corvane-xhtml}
generator=$root/build/release/bench/make_bench_rtf

converters=(corvane-xhtml unrtf pandoc rtf-to-html)
# An earlier build of ours runs as one more converter, so that before and after come from the same run.
baseline=${CORVANE_BASELINE:-}
if [ -n "$baseline" ]; then
  [ -x "$baseline" ] || { echo "CORVANE_BASELINE: no executable at $baseline" >&2; exit 2; }
  baseline=$(cd "$(dirname "$baseline")" && pwd)/$(basename "$baseline")
  converters=(corvane-xhtml baseline unrtf pandoc rtf-to-html)
fi
command_for() { # converter input -> the command in the array cmd; every one writes to standard output
  case $1 in
    corvane-xhtml) cmd=("$tool" "$2") ;;
    baseline) cmd=("$baseline" "$2") ;;
    unrtf) cmd=(unrtf --html "$2") ;;
    pandoc) cmd=(pandoc -f rtf -t html "$2") ;;
    rtf-to-html) cmd=(env "NODE_PATH=$peers/node_modules" node "$root/bench/peer_rtf_to_html.js" "$2") ;;
  esac
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# unrtf writes the pictures it finds into the current folder.
mkdir "$work/run"
cd "$work/run"

# --- Documents -----------------------------------------------------------------------------------------
bytes=$((size * 1000000))
wordprocessor=$("$root/bench/make-wordprocessor-rtf.sh" "$root/build/bench" | sed -n 2p)
python3 "$root/bench/tools/repeat_rtf_body.py" "$wordprocessor" "$size" "$work/wordprocessor.rtf"
"$generator" generated "$bytes" >"$work/generated.rtf"

# Only real files every converter accepts on its own go into the merged document: one that fails alone
# would stop some converter on every run and leave nothing to compare.
real=()
total=0
while IFS= read -r -d '' file; do
  total=$((total + 1))
  for converter in "${converters[@]}"; do
    command_for "$converter" "$file"
    if ! timeout 60 "${cmd[@]}" </dev/null >"$work/probe.html" 2>/dev/null || [ ! -s "$work/probe.html" ]; then
      continue 2
    fi
  done
  real+=("$file")
done < <(find "$corpus" -name '*.rtf' -type f -print0 | sort -z)
[ ${#real[@]} -gt 0 ] || { echo "no RTF under $corpus that every converter accepts" >&2; exit 2; }
echo "real files: ${#real[@]} of $total accepted by every converter" >&2
"$generator" real "$bytes" "${real[@]}" >"$work/real.rtf"

documents=(wordprocessor generated real)
declare -A times peak state
for document in "${documents[@]}"; do
  for converter in "${converters[@]}"; do
    times[$document,$converter]=""
    peak[$document,$converter]=0
    state[$document,$converter]=ok
  done
done

# --- Runs ----------------------------------------------------------------------------------------------
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for document in "${documents[@]}"; do
  input=$work/$document.rtf
  for ((run = 1; run <= runs; run++)); do
    for converter in "${converters[@]}"; do
      key=$document,$converter
      [ "${state[$key]}" = ok ] || continue
      command_for "$converter" "$input"
      # A conversion of a fraction of a second is at the mercy of the run before it (pandoc takes and
      # gives back gigabytes): ours and the baseline convert once untimed first.
      if [ "$converter" = corvane-xhtml ] || [ "$converter" = baseline ]; then
        "${cmd[@]}" </dev/null >/dev/null 2>&1 || true
      fi
      # Each converter writes a new file: freeing the last one's output is no part of a conversion.
      rm -f "$work/out.html"
      start=$(date +%s%N)
      status=0
      timeout "$limit" /usr/bin/time -f %M -o "$work/rss" "${cmd[@]}" </dev/null >"$work/out.html" \
        2>"$work/err" || status=$?
      end=$(date +%s%N)
      if [ "$status" -eq 124 ]; then
        state[$key]="timeout (over $limit s)"
      elif [ "$status" -ne 0 ]; then
        # The error's own line (node prints the throwing source line first), without its indentation.
        message=$(grep -m1 -E '^[[:alpha:]]*Error\b' "$work/err" || grep -m1 -i error "$work/err" ||
          head -n1 "$work/err" || true)
        message=${message#"${message%%[![:space:]]*}"}
        state[$key]="failed (exit $status): ${message:0:70}"
      elif [ ! -s "$work/out.html" ]; then
        state[$key]="empty output"
      else
        seconds=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", (e - s) / 1e9 }')
        times[$key]+="$seconds "
        rss=$(tail -n1 "$work/rss")
        [ "$rss" -le "${peak[$key]}" ] || peak[$key]=$rss
      fi
      printf '%s run %d/%d: %-13s %s\n' "$document" "$run" "$runs" "$converter" \
        "$([ "${state[$key]}" = ok ] && echo "$seconds s" || echo "${state[$key]}")" >&2
    done
  done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# --- Table ---------------------------------------------------------------------------------------------
median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ours=corvane-xhtml
printf 'ours: %s; peers: unrtf %s, pandoc %s, %s %s (node %s)\n' "$("$tool" --version | head -n1)" \
  "$(unrtf --version 2>&1 | head -n1)" "$(pandoc --version | head -n1 | cut -d' ' -f2)" "$npm_package" \
  "$npm_version" "$(node --version)"
printf '%d processors; load average %s before, %s after; %d runs each, median MB/s, MB = 10^6 bytes\n\n' \
  "$(nproc)" "$load_before" "$load_after" "$runs"
printf '%-22s %-14s %8s %9s %10s %10s\n' document converter MB/s "peak MB" speed memory
printf '%-22s %-14s %8s %9s %10s %10s\n' "" "" "" "" ours/peer ours/peer
for document in "${documents[@]}"; do
  length=$(stat -c %s "$work/$document.rtf")
  label="$document $(awk -v b="$length" 'BEGIN { printf "%.1f", b / 1e6 }') MB"
  our_speed=""
  our_peak=""
  for converter in "${converters[@]}"; do
    key=$document,$converter
    if [ "${state[$key]}" != ok ]; then
      printf '%-22s %-14s %8s %9s %10s %10s  %s\n' "$label" "$converter" - - - - "${state[$key]}"
      label=""
      continue
    fi
    speed=$(median <<<"${times[$key]}" | awk -v b="$length" '{ printf "%.2f", b / 1e6 / $1 }')
    memory=$(awk -v k="${peak[$key]}" 'BEGIN { printf "%.1f", k * 1024 / 1e6 }')
    speed_ratio=-
    memory_ratio=-
    if [ "$converter" = "$ours" ]; then
      our_speed=$speed
      our_peak=${peak[$key]}
    elif [ -n "$our_speed" ]; then
      speed_ratio=$(awk -v o="$our_speed" -v p="$speed" 'BEGIN { printf "%.1f", o / p }')
      memory_ratio=$(awk -v o="$our_peak" -v p="${peak[$key]}" 'BEGIN { printf "%.2f", o / p }')
    fi
    printf '%-22s %-14s %8s %9s %10s %10s\n' "$label" "$converter" "$speed" "$memory" "$speed_ratio" \
      "$memory_ratio"
    label=""
  done
done
