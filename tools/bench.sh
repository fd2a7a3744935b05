#!/usr/bin/env bash
# Measures the event path against its targets and prints one table: the
# rules natively (time and instructions per event, allocations), the real
# plug-in under Wine against the bare sound player, a burst, attach, and the
# stripped module's size. Exits 1, naming them, when targets are missed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${QEL_BUILD_DIR:-build}
bash tools/setup.sh
source tools/wine-env.sh

max_instructions=400
max_module_bytes=32768
count=10000  # events per callgrind run; a second run sends twice as many

jobs=$(nproc)
cmake -S . -B "$build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/native" -j "$jobs" --target event_path_bench >/dev/null
cmake -S . -B "$build/win32" --toolchain cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win32" -j "$jobs" --target wine_event_bench >/dev/null

native_bench="$build/native/bench/event_path_bench"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

targets=()
missed=()
target() {  # met(0/1) description
  if [ "$1" = 1 ]; then
    targets+=("met     $2")
  else
    targets+=("MISSED  $2")
    missed+=("$2")
  fi
}

echo "qel_caller event path benchmark"
echo "  machine:  $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores"
echo "  compiler: $(g++ --version | head -1) (native); $(i686-w64-mingw32-g++-posix --version | head -1) (plug-in)"
echo "  wine:     $(wine --version)"

# --- native rules ------------------------------------------------------------

# Instructions callgrind counts for a whole run of `count` events of a kind,
# then the run's own report (allocations and plays).
callgrind_run() {  # kind events
  valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    "$native_bench" --count "$1" "$2" >"$scratch/count.out" 2>"$scratch/count.err"
  awk '/Collected :/ { print $NF }' "$scratch/count.err"
  cat "$scratch/count.out"
}

"$native_bench" --benchmark_format=csv --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 \
  >"$scratch/timing.csv" 2>/dev/null

echo
echo "Native rules, sound player replaced by a no-op (-Os as in the plug-in)"
echo "  time: CPU time per event, median of 5 runs; instructions: callgrind, ($((2 * count)) events - $count events) / $count"
printf '  %-16s %7s %9s %13s %12s %12s\n' kind folder ns/event instructions allocations plays/event
all_allocations=0
plays_as_expected=1
worst_held=0
declare -A instructions_of
while read -r kind folder_length plays held; do
  run1=$(callgrind_run "$kind" "$count")
  run2=$(callgrind_run "$kind" $((2 * count)))
  per_event=$(awk -v a="$(head -1 <<<"$run1")" -v b="$(head -1 <<<"$run2")" -v n="$count" \
    'BEGIN { printf "%.1f", (b - a) / n }')
  allocations=$(sed -n 's/.*allocations=\([0-9]*\).*/\1/p' <<<"$run2")
  played=$(sed -n 's/.*plays=\([0-9]*\).*/\1/p' <<<"$run2")
  ns=$(awk -F, -v name="\"$kind"'_median"' '$1 == name { printf "%.1f", $4 }' "$scratch/timing.csv")
  note=""
  [ "$held" = 1 ] || note="  (worst case, shown for scale)"
  printf '  %-16s %7s %9s %13s %12s %12s%s\n' "$kind" "$folder_length" "$ns" "$per_event" \
    "$allocations" "$(awk -v p="$played" -v n=$((2 * count)) 'BEGIN { printf "%.3f", p / n }')" "$note"
  instructions_of[$kind]=$per_event
  all_allocations=$((all_allocations + allocations))
  [ "$played" = $((plays * 2 * count)) ] || plays_as_expected=0
  if [ "$held" = 1 ]; then
    worst_held=$(awk -v w="$worst_held" -v x="$per_event" 'BEGIN { print (x > w ? x : w) }')
  fi
done < <("$native_bench" --kinds)

short=$("$native_bench" --kinds | awk '$1 == "number-100" { print $2 }')
deep=$("$native_bench" --kinds | awk '$1 == "number-100-deep" { print $2 }')
awk -v a="${instructions_of[number-100]}" -v b="${instructions_of[number-100-deep]}" \
  -v s="$short" -v d="$deep" -v limit="$max_instructions" 'BEGIN {
    slope = (b - a) / (d - s)
    printf "  each further folder character adds %.1f instructions; %d are reached with a folder of %d characters\n",
      slope, limit, s + (limit - a) / slope }'

target "$([ "$all_allocations" = 0 ] && echo 1 || echo 0)" \
  "zero heap allocations by the rules on the event path (native): $all_allocations counted"
target "$plays_as_expected" "one play request per announcement, none otherwise (native)"
target "$(awk -v w="$worst_held" -v l="$max_instructions" 'BEGIN { print (w <= l) }')" \
  "at most $max_instructions instructions per event (native rules): at most $worst_held"

# --- the plug-in under Wine --------------------------------------------------

# A sound device that plays clips at their own pace and sounds nowhere, so
# that a present clip really plays.
export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$root/tests/wine/null_sound.conf"
stop_wineserver
wine_status=0
on_virtual_display wine "$build/win32/wine_event_bench.exe" \
  >"$scratch/wine.out" 2>"$scratch/wine.err" || wine_status=$?
stop_wineserver
grep -v '^TARGET ' "$scratch/wine.out"
while read -r _ state description; do
  target "$([ "$state" = met ] && echo 1 || echo 0)" "$description"
done < <(grep '^TARGET ' "$scratch/wine.out")
if [ "$wine_status" -gt 1 ] || ! grep -q '^TARGET ' "$scratch/wine.out"; then
  cat "$scratch/wine.err" >&2
  target 0 "the Wine benchmark ran (status $wine_status)"
fi

# --- size ----------------------------------------------------------------------

i686-w64-mingw32-strip -o "$scratch/qel_caller.qel" "$build/win32/qel_caller.qel"
module_bytes=$(stat -c %s "$scratch/qel_caller.qel")
echo
echo "Stripped module: qel_caller.qel $module_bytes bytes ($(awk -v b="$module_bytes" 'BEGIN { printf "%.1f", b / 1024 }') KiB)"
target "$([ "$module_bytes" -le "$max_module_bytes" ] && echo 1 || echo 0)" \
  "stripped module at most 32 KiB: $module_bytes bytes"

echo
echo "Targets"
printf '  %s\n' "${targets[@]}"
if [ ${#missed[@]} -gt 0 ]; then
  echo "${#missed[@]} target(s) missed" >&2
  exit 1
fi
