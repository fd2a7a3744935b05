#!/usr/bin/env bash
# Fuzzes the platform-free rules with libFuzzer, under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a clang tree of its own (<build>/fuzz).
#
#   bash tools/fuzz.sh                      the short bounded runs of the test command
#   bash tools/fuzz.sh SECONDS [TARGET...]  each target (default: all) for SECONDS
#
# Targets: bounded_text clip_path announce normalize settings_file centring.
# New inputs are kept in <build>/fuzz/fuzz/corpus/<target> and so carry over
# to later runs; a failing input lands in <build>/fuzz/fuzz/artifacts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${QEL_BUILD_DIR:-build}
bash tools/setup.sh
cmake -S . -B "$build/fuzz" -DQEL_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/fuzz" -j 2

if [ $# -eq 0 ]; then
  exec ctest --test-dir "$build/fuzz" --output-on-failure
fi

seconds=$1
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(bounded_text clip_path announce normalize settings_file centring)
fi
tree="$build/fuzz/fuzz"
mkdir -p "$tree/logs"
status=0
for target in "${targets[@]}"; do
  log="$tree/logs/$target.log"
  mkdir -p "$tree/corpus/$target"
  outcome=passed
  "$tree/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$tree/artifacts/$target-" \
    "$tree/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1 || { outcome=FAILED; status=1; }
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  edges=$(grep -ao 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo "?")
  corpus=$(ls "$tree/corpus/$target" | wc -l)
  printf '%-14s %s: %s inputs in %s s, %s edges covered, corpus %s files (log %s)\n' \
    "$target" "$outcome" "$runs" "$seconds" "$edges" "$corpus" "$log"
done
exit $status
