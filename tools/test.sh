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

stop_wineserver
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$build/win32" --output-on-failure || status=1
stop_wineserver
exit $status
