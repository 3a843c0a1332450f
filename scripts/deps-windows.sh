#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# Cross-builds the static Windows (x86_64-w64-mingw32, posix threads) libraries
# the demo links against -- SDL2, libopenmpt and libpng, plus zlib and the
# headers of CLI11 and xxHash -- from Debian's source packages, into a prefix
# in the user's cache, with the licence text of each:
#
#   ${TOLVARIN_CACHE:-~/.cache/tolvarin}/windows/prefix-<hash>/
#     include/  lib/*.a  lib/pkgconfig/*.pc  share/cmake/CLI11/
#     share/licenses/<library>/   what a binary distribution has to carry
#
# <hash> covers this script, scripts/lib/deps.sh, the pinned source versions
# and the mingw-w64 g++ version, so changing any of them gives a fresh prefix.
# A finished prefix has a completion marker (written last); when it is there
# the script only prints the path. A second run started meanwhile waits for
# the first to finish the prefix.
#
# The prefix path is always the last line on stdout; everything else goes to
# stderr, so a Makefile can do: prefix=$(scripts/deps-windows.sh)
set -euo pipefail

deps_name=deps-windows deps_fail='FAILED: ' deps_uses_sources=1
# shellcheck source=lib/deps.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/deps.sh"
deps_stdout_to_stderr

sdl_version=2.26.5+dfsg-1
openmpt_version=0.6.9-1
png_upstream=1.6.39          # newest Debian revision of it that can be fetched

triple=x86_64-w64-mingw32
cc=${triple}-gcc-posix
cxx=${triple}-g++-posix
mingw_sysroot=/usr/${triple}
jobs=$deps_jobs

deps_apt_install \
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  libz-mingw-w64-dev libcli11-dev libxxhash-dev \
  cmake ninja-build make pkg-config dpkg-dev \
  wine wine64

# The compiler version is part of the prefix's name.
deps_installed_version g++-mingw-w64-x86-64-posix
cxx_version=$deps_version
deps_cache_claim "$deps_cache/windows" \
  "prefix-$(deps_key "$sdl_version $openmpt_version $png_upstream $cxx_version")"
prefix=$deps_prefix work=$deps_work logs=$deps_logs
src=$work/src
mkdir -p "$src" "$prefix/include" "$prefix/lib/pkgconfig"
say "building into $prefix (logs: $logs)"

# Runs "$@" (with errexit in force) and its output appended to a log; on
# failure names what failed and where the log is.
step() {
  local what=$1 log=$2 rc; shift 2
  set +e
  ( set -e; "$@" ) >>"$log" 2>&1
  rc=$?
  set -e
  [ $rc -eq 0 ] || die "$what (log: $log)"
}

# ---------------------------------------------------------------- sources ---
deps_source_ready "libsdl2=$sdl_version" "libopenmpt=$openmpt_version" libpng1.6
fetch_sources() {
  deps_source "$src" "libsdl2=$sdl_version"
  deps_source "$src" "libopenmpt=$openmpt_version"
  local v got=
  for v in $(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' \
               | grep -F "$png_upstream-" | sort -urV); do
    # Security archive indexes can list a revision whose files are gone.
    if deps_source "$src" "libpng1.6=$v"; then got=$v; break; fi
    rm -f "$src"/libpng1.6_"$v".*
  done
  [ -n "$got" ] || { echo "no fetchable libpng1.6 $png_upstream-* source"; return 1; }
  echo "$got" >"$src/png-version"
  mv "$src/libsdl2-${sdl_version%-*}" "$src/sdl2"
  mv "$src/libopenmpt-${openmpt_version%-*}" "$src/libopenmpt"
  mv "$src/libpng1.6-$png_upstream" "$src/libpng"
}
t0=$SECONDS
step "fetching sources with apt-get source" "$logs/fetch.log" fetch_sources
png_version=$(cat "$src/png-version")
say "sources: libsdl2 $sdl_version, libopenmpt $openmpt_version, libpng1.6 $png_version ($((SECONDS - t0)) s)"

# CMake toolchain used for the libraries themselves. Only the mingw sysroot
# and the prefix are searched, never the build machine's /usr.
cat >"$work/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $cc)
set(CMAKE_CXX_COMPILER $cxx)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH "$prefix" "$mingw_sysroot")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "$prefix/lib/pkgconfig")
EOF
cmake_common=(
  -G Ninja
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake"
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG"
  -DCMAKE_INSTALL_PREFIX="$prefix"
  -DCMAKE_INSTALL_LIBDIR=lib
)

# ------------------------------------------------------- zlib and CLI11 -----
# zlib comes prebuilt with Debian's mingw-w64 packages; only its static
# archive is copied, so nothing can pick up zlib1.dll by accident.
cp "$mingw_sysroot/include/zlib.h" "$mingw_sysroot/include/zconf.h" "$prefix/include/"
cp "$mingw_sysroot/lib/libz.a" "$prefix/lib/"
zlib_version=$(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' "$prefix/include/zlib.h")

# CLI11 is header-only: its headers and relocatable CMake package.
cp -r /usr/include/CLI "$prefix/include/"
mkdir -p "$prefix/share/cmake"
cp -r /usr/share/cmake/CLI11 "$prefix/share/cmake/"
cli11_version=$(dpkg-query -W -f='${Version}' libcli11-dev); cli11_version=${cli11_version%%[+-]*}

# xxHash is used header-only (XXH_INLINE_ALL): the header alone.
cp /usr/include/xxhash.h "$prefix/include/"

# ------------------------------------------------------------- licences -----
# Everything linked into a program built against this prefix, with the text
# of its licence: the upstream files of the three source builds, and Debian's
# copyright files for zlib, the two header-only libraries and mingw-w64's
# runtime (its CRT and winpthreads are linked statically too).
licences=$prefix/share/licenses
copy_licence() {  # name file
  mkdir -p "$licences/$1"
  install -m 0644 "$2" "$licences/$1/"
}
copy_licence SDL2 "$src/sdl2/LICENSE.txt"
copy_licence libopenmpt "$src/libopenmpt/LICENSE"
copy_licence libpng "$src/libpng/LICENSE"
for pkg in zlib:libz-mingw-w64-dev CLI11:libcli11-dev xxHash:libxxhash-dev mingw-w64:mingw-w64-x86-64-dev; do
  copy_licence "${pkg%%:*}" "/usr/share/doc/${pkg#*:}/copyright"
done

# Configures, builds and installs the CMake project in $src/NAME with the
# cross toolchain and the given options.
cmake_library() {  # NAME [OPTION...]
  local name=$1; shift
  cmake -S "$src/$name" -B "$work/build-$name" "${cmake_common[@]}" "$@"
  cmake --build "$work/build-$name" -j "$jobs"
  cmake --install "$work/build-$name"
}

# ------------------------------------------------------------------ SDL2 ----
# Only what the demo uses: window, keyboard, message boxes, timers, audio
# (WASAPI, DirectSound, winmm) and the Direct3D/OpenGL/software renderers.
build_sdl2() {
  cmake_library sdl2 \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF \
    -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF \
    -DSDL_XINPUT=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF \
    -DSDL_DISKAUDIO=OFF -DSDL_CCACHE=OFF
}

# -------------------------------------------------------------- libpng ------
build_libpng() {
  cmake_library libpng \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a"
}

# ------------------------------------------------------------ libopenmpt ----
# The shared libopenmpt build, with mingw-w64's Unicode entry points,
# thread-safe exception handling and 64-bit file offsets.
build_libopenmpt() {
  deps_build_libopenmpt "$src/libopenmpt" "$work/build-libopenmpt" "$prefix" \
    "$cxx" "${triple}-gcc-ar" "-std=c++17 -O2 -fvisibility=hidden -municode -mthreads -D_FILE_OFFSET_BITS=64"
}

# The three builds are independent (libpng only needs zlib, already in
# place), so they run side by side: the configure steps of one overlap the
# compiles of the others and both cores stay busy until the end. Each runs in
# its own process group, so a failure (or Ctrl-C) stops the others at once.
TIMEFORMAT='%0R s wall, %0U+%0S s CPU'
declare -A lib_of
stop_builds() {
  local p
  for p in "${!lib_of[@]}"; do kill -- "-$p" 2>/dev/null || true; done
}
trap stop_builds EXIT
trap 'exit 130' INT TERM
set -m
for lib in sdl2 libopenmpt libpng; do
  ( set -x; time "build_$lib" ) >"$logs/$lib.log" 2>&1 &
  lib_of[$!]=$lib
done
set +m
while [ ${#lib_of[@]} -gt 0 ]; do
  done_pid=
  if wait -n -p done_pid "${!lib_of[@]}"; then
    [ -n "$done_pid" ] || die "lost track of the library builds (logs: $logs)"
    lib=${lib_of[$done_pid]}
    unset "lib_of[$done_pid]"
    say "$lib: $(tail -n 1 "$logs/$lib.log")"
  else
    [ -n "$done_pid" ] || die "lost track of the library builds (logs: $logs)"
    lib=${lib_of[$done_pid]}
    unset "lib_of[$done_pid]"
    die "building $lib (log: $logs/$lib.log)"
  fi
done
trap - EXIT INT TERM

# ------------------------------------------------------------- finish -------
# Only static archives: drop import libraries and anything DLL-shaped.
find "$prefix" \( -name '*.dll.a' -o -name '*.dll' -o -name '*.la' \) -delete
rm -rf "$prefix/share/man" "$prefix/share/doc"

# The pkg-config files are (re)written here with every static dependency
# under Libs, so that a plain `pkg-config --libs` (what CMake's
# pkg_check_modules uses) links correctly. SDL's generated sdl2.pc lists the
# Windows system libraries it needs after its own; those are kept, once each.
# Its -mwindows is left out: the consumer chooses the subsystem.
sdl_syslibs=$(sed -n 's/^Libs\(\.private\)\?: *//p' "$prefix/lib/pkgconfig/sdl2.pc" | tr ' ' '\n' \
  | grep -E '^-l' | grep -v -x -e -lmingw32 -e -lSDL2main -e -lSDL2 | awk '!seen[$0]++' | tr '\n' ' ')
sdl_cflags=$(sed -n 's/^Cflags: *//p' "$prefix/lib/pkgconfig/sdl2.pc")
rm -f "$prefix"/lib/pkgconfig/*.pc
write_pc() {  # file name description version libs [requires] [cflags]
  local cflags=${7:-'-I${includedir}'}
  cat >"$prefix/lib/pkgconfig/$1" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: $2
Description: $3
Version: $4
Requires: ${6:-}
Libs: -L\${libdir} $5
Cflags: $cflags
EOF
}
write_pc zlib.pc zlib "zlib compression library" "$zlib_version" "-lz"
write_pc libpng.pc libpng "Loads and saves PNG files" "$png_upstream" "-lpng16" zlib '-I${includedir}/libpng16'
cp "$prefix/lib/pkgconfig/libpng.pc" "$prefix/lib/pkgconfig/libpng16.pc"
write_pc libopenmpt.pc libopenmpt "Tracker module player based on OpenMPT" "${openmpt_version%-*}" \
  "-lopenmpt -lole32 -lrpcrt4"
write_pc sdl2.pc sdl2 "Simple DirectMedia Layer" "${sdl_version%%+*}" \
  "-lmingw32 -lSDL2main -lSDL2 ${sdl_syslibs% }" "" "$sdl_cflags"
write_pc CLI11.pc CLI11 "C++ command line parser" "$cli11_version" ""

cat >"$prefix/versions.txt" <<EOF
libsdl2 $sdl_version
libopenmpt $openmpt_version
libpng1.6 $png_version
zlib $zlib_version (libz-mingw-w64-dev $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev))
CLI11 $(dpkg-query -W -f='${Version}' libcli11-dev)
xxHash $(dpkg-query -W -f='${Version}' libxxhash-dev)
g++-mingw-w64-x86-64-posix $cxx_version
EOF

say "done in $((SECONDS - t0)) s"
deps_cache_done
