#!/usr/bin/env bash
# Writes a complete sound folder for qel_caller with a speech synthesizer, so
# that it can be heard before anything is recorded: gameon.wav, one clip per
# number of the range (<number>.wav), 1st.wav, 2nd.wav, 3rd.wav, middle.wav.
# Every clip is 16-bit PCM WAV, mono, 22050 Hz.
set -euo pipefail

usage() {
  echo "usage: $0 FOLDER [--from N] [--to N]   (numbers 0 to 200 unless told)" >&2
  exit 2
}

# A whole number as bash takes it: leading zeros would make it octal.
whole_number() {
  [[ $1 =~ ^(-?)([0-9]+)$ ]] || { echo "$0: not a whole number: '$1'" >&2; exit 2; }
  echo "${BASH_REMATCH[1]}$((10#${BASH_REMATCH[2]}))"
}

[ $# -ge 1 ] || usage
folder=$1
shift
from=0
to=200
while [ $# -gt 0 ]; do
  case $1 in
    --from) [ $# -ge 2 ] || usage; from=$(whole_number "$2"); shift 2 ;;
    --to) [ $# -ge 2 ] || usage; to=$(whole_number "$2"); shift 2 ;;
    *) usage ;;
  esac
done
if (( from > to )); then
  echo "$0: the range $from to $to is empty" >&2
  exit 2
fi
for tool in espeak-ng sox; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing; run tools/setup.sh" >&2; exit 1; }
done

mkdir -p "$folder"

# speak TEXT CLIP: the text, spoken, as CLIP.wav, peaks at -1 dBFS.
speak() {
  printf '%s' "$1" | espeak-ng -v en-us --stdout \
    | sox -q -t wav - -t wav -e signed-integer -b 16 -c 1 -r 22050 "$folder/$2.wav" norm -1
}

speak "game on" gameon
speak first 1st
speak second 2nd
speak third 3rd
speak middle middle
for (( number = from; number <= to; number++ )); do
  speak "$number" "$number"
done
echo "$(( to - from + 6 )) clips in $folder (numbers $from to $to)"
