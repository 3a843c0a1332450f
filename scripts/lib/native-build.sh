# shellcheck shell=bash
# Sourced by the cross builds (build-web.sh, build-windows.sh,
# build-arm64.sh): the native build whose generator makes the data and the
# icon they pack, and whose program some of their tests compare with.

# native_build DIR JOBS TARGET...: configures DIR once (build/ from the
# release preset, another folder as a Release build with Ninja) and builds
# the targets in it; a later change to the CMake files reconfigures it by
# itself.
native_build() {
  local dir=$1 jobs=$2
  shift 2
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    if [ "$dir" = build ]; then
      cmake --preset release >/dev/null
    else
      cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
  fi
  cmake --build "$dir" -j "$jobs" --target "$@"
}
