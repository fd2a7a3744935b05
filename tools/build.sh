#!/usr/bin/env bash
# Configures and builds both trees: the native one (rules and their tests)
# and the cross-compiled one (the plug-in, its Wine tests and tools).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# Another build tree (e.g. for parallel work) can be named in QEL_BUILD_DIR.
build=${QEL_BUILD_DIR:-build}
bash tools/setup.sh
jobs=$(nproc)
cmake -S . -B "$build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/native" -j "$jobs"
cmake -S . -B "$build/win32" --toolchain cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win32" -j "$jobs"
