#!/usr/bin/env bash
# Builds everything, then lets qel_caller.qel announce a short round under
# Wine, driven by qelhost, and keeps what reached the sound device in a WAV
# file. The sound device is ALSA's `file` PCM, set up in a private HOME for
# the run: no sound card is needed and the user's own sound configuration
# is left alone.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/build.sh
build="$root/${QEL_BUILD_DIR:-build}"
source tools/wine-env.sh

# The clip pack is made once; a pack cut short by an interruption is not
# taken for a whole one.
clips="$build/clips"
if [ ! -d "$clips" ]; then
  rm -rf "$clips.partial"
  bash tools/make_clip_pack.sh "$clips.partial"
  mv "$clips.partial" "$clips"
fi

# A scratch copy of the plug-in with its own settings file, which points at
# the pack through drive Z:, Wine's view of the whole file system.
demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/home" "$demo/device"
cp "$build/win32/qel_caller.qel" "$build/win32/qelhost.exe" host/demo_script.txt "$demo/"
clips_for_windows="Z:${clips//\//\\}\\"
printf '[SOUND]\r\npath=%s\r\nenable=1\r\n' "$clips_for_windows" > "$demo/qel_caller.ini"

asoundrc=$(<tools/file-device.asoundrc.in)
asoundrc=${asoundrc//@CAPTURE_FILE@/"$demo/device/stream.wav"}
asoundrc=${asoundrc//@CAPTURE_FORMAT@/wav}
printf '%s\n' "$asoundrc" > "$demo/home/.asoundrc"

# Wine is told to use its ALSA driver even where another sound server runs;
# only qelhost gets the private HOME, so only its sound goes to the files.
stop_wineserver
on_virtual_display bash -c '
  set -e
  wine reg add "HKCU\\Software\\Wine\\Drivers" /v Audio /d alsa /f >/dev/null
  cd "$1"
  HOME="$1/home" wine qelhost.exe qel_caller.qel --script demo_script.txt
  wineserver -k
' demo "$demo"
stop_wineserver

# One file per stream the player opened, in order; those without samples
# (the player opens one when qelhost checks that the last clip is over) add
# nothing.
streams=()
for stream in "$demo"/device/stream.wav*; do
  samples=$(soxi -s "$stream" 2>/dev/null || echo 0)
  if [ "$samples" -gt 0 ]; then
    streams+=(-t wav "$stream")
  fi
done
if [ ${#streams[@]} -eq 0 ]; then
  echo "demo: nothing reached the sound device" >&2
  exit 1
fi
played="$demo/played.wav"
sox "${streams[@]}" "$played"
echo
echo "$(( ${#streams[@]} / 3 )) clips reached the sound device, $(soxi -d "$played") in all:"
echo "  $played"
echo "listen with: play '$played'"
