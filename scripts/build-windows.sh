#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# make windows: the Windows zip, cross-built with mingw-w64 in build-win/.
#   1. the libraries: scripts/deps-windows.sh builds them once from Debian's
#      source packages into a cache outside the clone (a new prefix means a
#      fresh configuration of build-win/);
#   2. the native build (build/) makes the data with the generator;
#   3. build-win/ is configured with cmake/toolchains/mingw-w64.cmake and
#      the zip built.
# With --test (make test-windows) it then builds everything in build-win/
# and the native program -- some Windows tests compare their output with
# it -- and runs the tests under Wine.
# A missing piece stops it with one line starting "make windows:".
# TOLVARIN_NATIVE_BUILD and TOLVARIN_WIN_BUILD name other build folders.
set -euo pipefail
cd "$(dirname "$0")/.."
die() {
  echo "make windows: $*" >&2
  exit 1
}
test=0
case "${1:-}" in
  '') ;;
  --test) test=1 ;;
  *) die "unknown argument '$1' (only --test)" ;;
esac
native=${TOLVARIN_NATIVE_BUILD:-build}
win=${TOLVARIN_WIN_BUILD:-build-win}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

prefix=$(scripts/deps-windows.sh) || exit 1  # it has said what failed, in one line
[ -d "$prefix/lib" ] || die "no Windows libraries in '$prefix' (scripts/deps-windows.sh builds them)"

# shellcheck source=lib/native-build.sh
. scripts/lib/native-build.sh
native_build "$native" "$jobs" tolvarin_data tolvarin_icons

if ! grep -qsxF "TOLVARIN_WIN_PREFIX:PATH=$prefix" "$win/CMakeCache.txt"; then
  rm -f "$win/CMakeCache.txt"
fi
cmake -S . -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64.cmake \
  -DTOLVARIN_WIN_PREFIX="$prefix" -DTOLVARIN_HOST_DATA_DIR="$(cd "$native" && pwd -P)/data" >/dev/null
cmake --build "$win" -j "$jobs" --target tolvarin_zip
ls -l "$win/tolvarin-windows-x64.zip"

[ "$test" -eq 1 ] || exit 0
cmake --build "$native" -j "$jobs" --target tolvarin
cmake --build "$win" -j "$jobs"
ctest --test-dir "$win" --output-on-failure -j "$jobs"
