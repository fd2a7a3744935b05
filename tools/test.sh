#!/usr/bin/env bash
# Builds everything and runs both suites: the native rules (plain and under
# sanitizers) and the plug-in itself under Wine, on a virtual X display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/build.sh
build=${QEL_BUILD_DIR:-build}
source tools/wine-env.sh

status=0
ctest --test-dir "$build/native" --output-on-failure || status=1
bash tools/fuzz.sh || status=1

stop_wineserver
on_virtual_display \
  ctest --test-dir "$build/win32" --output-on-failure --timeout 600 || status=1
stop_wineserver
exit $status
