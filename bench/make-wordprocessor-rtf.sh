#!/usr/bin/env bash
# Writes the benchmark documents that a word processor made: the King James text (Debian's bible-kjv) laid out
# with headings, bold and italic runs, and a numbered list, a table and a link on every page, saved by
# LibreOffice as RTF, its body then repeated or cut to 5, 20 and 80 MB (10^6 bytes).
#
# Usage: bench/make-wordprocessor-rtf.sh [FOLDER]   (default build/bench)
# Prints the paths of the three documents, smallest first. Documents already written are kept; delete the
# folder to write them again. Installs bible-kjv and libreoffice-writer-nogui when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build/bench}
sizes=(5 20 80)
mkdir -p "$folder"

documents=()
for size in "${sizes[@]}"; do documents+=("$folder/wordprocessor-${size}mb.rtf"); done
if [ -s "${documents[-1]}" ]; then printf '%s\n' "${documents[@]}"; exit 0; fi

missing=()
command -v bible >/dev/null || missing+=(bible-kjv)
dpkg-query -W -f='${Status}' libreoffice-writer-nogui 2>/dev/null | grep -q 'install ok installed' ||
  dpkg-query -W -f='${Status}' libreoffice-writer 2>/dev/null | grep -q 'install ok installed' ||
  missing+=(libreoffice-writer-nogui)
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update >&2
  "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "Laying out the King James text and saving it as RTF with LibreOffice (about a minute)" >&2
bible -f "gen1:1-rev22:21" > "$work/kjv.txt"
python3 bench/tools/wordprocessor_document.py "$work/kjv.txt" > "$work/wordprocessor.fodt"
# A profile of its own keeps the export from touching, or waiting on, the user's office suite.
soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to rtf --outdir "$work" \
  "$work/wordprocessor.fodt" >/dev/null 2>&1
[ -s "$work/wordprocessor.rtf" ] || { echo "LibreOffice wrote no RTF" >&2; exit 1; }
for size in "${sizes[@]}"; do
  python3 bench/tools/repeat_rtf_body.py "$work/wordprocessor.rtf" "$size" "$folder/wordprocessor-${size}mb.rtf"
done
printf '%s\n' "${documents[@]}"
