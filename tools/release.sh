#!/usr/bin/env bash
# Builds the release archive qel_caller-<version>-win32.zip from this
# checkout and prints its path (the only thing written to standard output):
# installs what the build needs, builds the cross-compiled tree, runs the
# delivery checks, packs with CPack and checks the archive it made.
#
#   bash tools/release.sh            # -> build/win32/package/qel_caller-1.0.0-win32.zip
#
# The version is the one in project() of the top CMakeLists.txt. Run
# tools/test.sh first for the whole suite, Wine included.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${QEL_BUILD_DIR:-build}
case $build in /*) ;; *) build="$root/$build" ;; esac
tree="$build/win32"

{
  bash tools/setup.sh
  cmake -S . -B "$tree" --toolchain cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$tree" -j "$(nproc)"
  ctest --test-dir "$tree" -L delivery --output-on-failure
} >&2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$tree/CMakeCache.txt")
archive="$tree/package/qel_caller-$version-win32.zip"
rm -f "$archive"
(cd "$tree" && cpack --config CPackConfig.cmake) >&2
python3 tests/delivery/check_archive.py --objdump i686-w64-mingw32-objdump \
  --allow tests/delivery/imports.allow --version "$version" --archive "$archive" >&2
echo "$archive"
