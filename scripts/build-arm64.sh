#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# make arm64: the program, its tests and a .deb for arm64 Linux, cross-built
# with Debian's aarch64-linux-gnu compiler in build-arm64/.
#   1. the arm64 libraries: scripts/deps-arm64.sh unpacks Debian's arm64
#      packages once into a cache outside the clone (a new folder means a
#      fresh configuration of build-arm64/);
#   2. the native build (build/) makes the data with the generator;
#   3. build-arm64/ is configured with cmake/toolchains/aarch64-linux-gnu.cmake,
#      everything built and the .deb packed.
# With --test (make test-arm64) it then runs the tests under qemu-user: the
# pure libraries' tests and the whole demo's golden comparisons.
# A missing piece stops it with one line starting "make arm64:".
# TOLVARIN_NATIVE_BUILD and TOLVARIN_ARM64_BUILD name other build folders.
set -euo pipefail
cd "$(dirname "$0")/.."
die() {
  echo "make arm64: $*" >&2
  exit 1
}
test=0
case "${1:-}" in
  '') ;;
  --test) test=1 ;;
  *) die "unknown argument '$1' (only --test)" ;;
esac
native=${TOLVARIN_NATIVE_BUILD:-build}
arm=${TOLVARIN_ARM64_BUILD:-build-arm64}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

sysroot=$(scripts/deps-arm64.sh) || exit 1  # it has said what failed, in one line
[ -f "$sysroot/packages.txt" ] || die "no arm64 libraries in '$sysroot' (scripts/deps-arm64.sh unpacks them)"

# shellcheck source=lib/native-build.sh
. scripts/lib/native-build.sh
native_build "$native" "$jobs" tolvarin_data tolvarin_icons

if ! grep -qsxF "TOLVARIN_ARM64_SYSROOT:PATH=$sysroot" "$arm/CMakeCache.txt"; then
  rm -f "$arm/CMakeCache.txt"
fi
cmake -S . -B "$arm" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake \
  -DTOLVARIN_ARM64_SYSROOT="$sysroot" -DTOLVARIN_HOST_DATA_DIR="$(cd "$native" && pwd -P)/data" >/dev/null
cmake --build "$arm" -j "$jobs"
# The package, checked by lintian; with --test also unpacked and run headless under qemu.
check=()
[ "$test" -eq 0 ] || check=(--test)
RUNNER="qemu-aarch64-static -L $sysroot" scripts/package-deb.sh "$arm" "${check[@]}"

[ "$test" -eq 1 ] || exit 0
ctest --test-dir "$arm" --output-on-failure -j "$jobs"
