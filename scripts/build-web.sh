#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# make web: the WebAssembly build in build-web/, with Debian's Emscripten.
#   1. libopenmpt for wasm: scripts/deps-web.sh builds it once from Debian's
#      source package into a cache outside the clone (TOLVARIN_WEB_OPENMPT=
#      PREFIX takes a prefix already built);
#   2. the native build (build/) makes the data and the icon with the
#      generator, and the native program the web tests compare with;
#   3. build-web/ is configured with Emscripten's toolchain file and built;
#      build-web/site/ is the site to host, alone.
# A missing piece stops it with one line starting "make web:".
# TOLVARIN_NATIVE_BUILD and TOLVARIN_WEB_BUILD name other build folders.
set -euo pipefail
cd "$(dirname "$0")/.."
die() {
  echo "make web: $*" >&2
  exit 1
}
native=${TOLVARIN_NATIVE_BUILD:-build}
web=${TOLVARIN_WEB_BUILD:-build-web}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

# 1. libopenmpt for wasm (deps-web.sh also installs Emscripten and node).
if [ -n "${TOLVARIN_WEB_OPENMPT:-}" ]; then
  prefix=$TOLVARIN_WEB_OPENMPT
else
  prefix=$(scripts/deps-web.sh) || exit 1  # it has said what failed, in one line
fi
[ -f "$prefix/lib/libopenmpt.a" ] && [ -f "$prefix/include/libopenmpt/libopenmpt.hpp" ] ||
  die "libopenmpt for WebAssembly not found in '$prefix' (scripts/deps-web.sh builds it)"

for tool in em++ em-config; do
  command -v "$tool" >/dev/null 2>&1 || die "$tool not found (Debian package emscripten; scripts/deps-web.sh installs it)"
done
command -v node >/dev/null 2>&1 || die "node not found (Debian package nodejs; scripts/deps-web.sh installs it)"
for tool in cmake ninja; do
  command -v "$tool" >/dev/null 2>&1 || die "$tool not found (scripts/install-deps.sh installs it)"
done
toolchain=$(em-config EMSCRIPTEN_ROOT)/cmake/Modules/Platform/Emscripten.cmake
[ -f "$toolchain" ] || die "Emscripten's CMake toolchain file not found ($toolchain)"

# 2. The data, and the native program.
# shellcheck source=lib/native-build.sh
. scripts/lib/native-build.sh
native_build "$native" "$jobs" tolvarin_data tolvarin_icons tolvarin

# 3. The web build. CMake's own complaint about a missing piece is a
# "make web:" message it wraps over lines: print it as one.
mkdir -p "$web"
if ! cmake -S . -B "$web" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DTOLVARIN_WEB_OPENMPT="$prefix" -DTOLVARIN_NATIVE_BUILD="$(cd "$native" && pwd)" >"$web/configure.log" 2>&1; then
  message=$(awk '/make web: / { on = 1; sub(/^.*make web: /, "") }
                 on && (/^Call Stack/ || /^[ \t]*$/) { exit }
                 on { sub(/^[ \t]+/, ""); printf "%s%s", sep, $0; sep = " " }' "$web/configure.log")
  [ -n "$message" ] && die "$message"
  cat "$web/configure.log" >&2
  die "configuring $web failed (log: $web/configure.log)"
fi
cmake --build "$web" -j "$jobs"
