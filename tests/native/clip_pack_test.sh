#!/usr/bin/env bash
# The clip pack generator: the whole set of names for a range, every clip a
# plain 16-bit PCM WAV that is not silent, and clear refusals of bad ranges.
set -uo pipefail
pack_script=$(cd "$(dirname "$0")/../.." && pwd)/tools/make_clip_pack.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# little_endian FILE OFFSET BYTES: an unsigned number from the file.
little_endian() {
  od -An -t "u$3" -j "$2" -N "$3" --endian=little "$1" | tr -d ' '
}

check_clip() {
  local clip=$1
  [ "$(head -c 4 "$clip")" = RIFF ] || fail "$clip: not RIFF"
  [ "$(dd if="$clip" bs=1 skip=8 count=8 2>/dev/null)" = "WAVEfmt " ] \
    || fail "$clip: no fmt chunk first"
  local field expected
  # Format tag 1 (plain PCM, not the extensible form), mono, 22050 Hz, 16-bit.
  for field in "20 2 1 format tag" "22 2 1 channels" "24 4 22050 sample rate" "34 2 16 bits"; do
    set -- $field
    expected=$3
    [ "$(little_endian "$clip" "$1" "$2")" = "$expected" ] \
      || fail "$clip: ${*:4} is $(little_endian "$clip" "$1" "$2"), not $expected"
  done
  local rms
  rms=$(sox "$clip" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }')
  awk -v rms="$rms" 'BEGIN { exit !(rms > 0.01) }' || fail "$clip: silent (RMS amplitude $rms)"
}

output=$(bash "$pack_script" "$scratch/pack" --from -2 --to 3 2>&1) \
  || fail "the generator failed: $output"
expected_names="-1.wav -2.wav 0.wav 1.wav 1st.wav 2.wav 2nd.wav 3.wav 3rd.wav gameon.wav middle.wav"
names=$(cd "$scratch/pack" && LC_ALL=C ls | sort | tr '\n' ' ')
[ "$names" = "$(echo $expected_names | tr ' ' '\n' | LC_ALL=C sort | tr '\n' ' ')" ] \
  || fail "clips for -2 to 3: $names"
for clip in "$scratch"/pack/*.wav; do
  check_clip "$clip"
done

# Each refusal: its arguments, then the message expected.
refusals=(
  "--from 5 --to 1|the range 5 to 1 is empty"
  "--to 1x|not a whole number: '1x'"
  "--from|usage:"
  "--loud|usage:"
)
for refusal in "${refusals[@]}"; do
  arguments=${refusal%%|*}
  message=${refusal#*|}
  output=$(bash "$pack_script" "$scratch/refused" $arguments 2>&1)
  status=$?
  [ $status -eq 2 ] || fail "$arguments: exit status $status, not 2"
  [[ $output == *"$message"* ]] || fail "$arguments: said '$output', not '$message'"
  [ ! -e "$scratch/refused" ] || fail "$arguments: made the folder anyway"
done

# Leading zeros are decimal, not octal.
bash "$pack_script" "$scratch/decimal" --from 08 --to 009 >/dev/null 2>&1 \
  || fail "--from 08 --to 009 was refused"
[ "$(cd "$scratch/decimal" 2>/dev/null && ls | grep -c '^[0-9]*\.wav$')" = 2 ] \
  || fail "--from 08 --to 009 did not give 8.wav and 9.wav"

[ $failures -eq 0 ] && echo "clip pack: all checks passed"
exit $(( failures > 0 ))
