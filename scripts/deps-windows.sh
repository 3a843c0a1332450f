#!/usr/bin/env bash
# Cross-builds the static Windows (x86_64-w64-mingw32, posix threads) libraries
# the demo links against -- SDL2, libopenmpt and libpng, plus zlib and the
# headers of CLI11 and xxHash -- from Debian's source packages, into a prefix
# in the user's cache, with the licence text of each:
#
#   ${TOLVARIN_CACHE:-~/.cache/tolvarin}/windows/prefix-<hash>/
#     include/  lib/*.a  lib/pkgconfig/*.pc  share/cmake/CLI11/
#     share/licenses/<library>/   what a binary distribution has to carry
#
# <hash> covers this script, the pinned source versions and the mingw-w64 g++
# version, so changing any of them gives a fresh prefix. A finished prefix has
# a stamp file (written last); when it is there the script only prints the path.
#
# The prefix path is always the last line on stdout; everything else goes to
# stderr, so a Makefile can do: prefix=$(scripts/deps-windows.sh)
set -euo pipefail

exec 3>&1 1>&2
trap 'echo "deps-windows: FAILED: \"$BASH_COMMAND\" (line $LINENO, exit $?)" >&2' ERR

sdl_version=2.26.5+dfsg-1
openmpt_version=0.6.9-1
png_upstream=1.6.39          # newest Debian revision of it that can be fetched

triple=x86_64-w64-mingw32
cc=${triple}-gcc-posix
cxx=${triple}-g++-posix
mingw_sysroot=/usr/${triple}
jobs=$(nproc 2>/dev/null || echo 2)

packages=(
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev libcli11-dev libxxhash-dev
  cmake ninja-build make pkg-config dpkg-dev
  wine wine64
)

root=${TOLVARIN_CACHE:-$HOME/.cache/tolvarin}/windows
self=$(readlink -f "${BASH_SOURCE[0]}")

say() { echo "deps-windows: $*"; }
die() { say "$*"; exit 1; }

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || die "FAILED: need root or sudo to install packages"
  as_root=(sudo)
fi
apt_get() {
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get -o DPkg::Lock::Timeout=600 "$@"
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# Debian's stock images only carry binary ('deb') entries; apt-get source needs
# the matching 'deb-src' ones. Mirror the deb822 entries of debian.sources.
have_deb_src() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    awk 'BEGIN{RS=""} /(^|\n)Types:[^\n]*deb-src/ && /(^|\n)Components:[^\n]*main/ && !/(^|\n)Enabled: *no/ {found=1} END{exit !found}' "$f" && return 0
  done
  grep -Eqs '^[[:space:]]*deb-src[[:space:]].*[[:space:]]main([[:space:]]|$)' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list
}

add_deb_src() {
  local out=/etc/apt/sources.list.d/tolvarin-src.sources tmp
  tmp=$(mktemp)
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # Keep URIs, Suites and Signed-By of every binary entry; drop comments.
    awk 'BEGIN{RS=""; ORS="\n\n"; FS="\n"}
      {
        types=""; keep=""
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^#/) continue
          if ($i ~ /^Types:/) { types=$i; continue }
          if ($i ~ /^Components:/) { keep = keep "Components: main\n"; continue }
          keep = keep $i "\n"
        }
        if (types ~ /[[:space:]]deb([[:space:]]|$)/) printf "Types: deb-src\n%s\n", keep
      }' /etc/apt/sources.list.d/debian.sources | sed '/^$/N;/^\n$/D' >"$tmp"
  elif [ -f /etc/apt/sources.list ]; then
    out=/etc/apt/sources.list.d/tolvarin-src.list
    sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\(\[[^]]*\][[:space:]]\+\)\?[^[:space:]]\+[[:space:]]\+[^[:space:]]\+\).*/deb-src \1 main/p' \
      /etc/apt/sources.list >"$tmp"
  fi
  [ -s "$tmp" ] || { rm -f "$tmp"; die "FAILED: no Debian 'deb' entries to derive a deb-src entry from"; }
  say "adding source entries: $out"
  "${as_root[@]}" install -m 0644 "$tmp" "$out"
  rm -f "$tmp"
}

ensure_packages() {
  local missing=() p
  for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
  local need_src=0
  have_deb_src || need_src=1
  [ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ] && return 0
  mkdir -p "$root"
  local log=$root/apt.log
  : >"$log"
  if [ $need_src -eq 1 ]; then add_deb_src; fi
  say "apt-get update${missing[*]:+; installing: ${missing[*]}}"
  apt_get update >>"$log" 2>&1 || die "FAILED: apt-get update (log: $log)"
  if [ ${#missing[@]} -gt 0 ]; then
    apt_get install -y --no-install-recommends "${missing[@]}" >>"$log" 2>&1 \
      || die "FAILED: installing ${missing[*]} (log: $log)"
  fi
}

# The compiler version is part of the prefix's name, so it has to be there
# before we can tell whether a finished prefix already exists.
installed g++-mingw-w64-x86-64-posix || ensure_packages
cxx_version=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)

key=$( { cat "$self"; echo "$sdl_version $openmpt_version $png_upstream $cxx_version"; } \
       | sha256sum | cut -c1-12 )
prefix=$root/prefix-$key
stamp=$prefix/.complete

if [ -f "$stamp" ]; then
  echo "$prefix" >&3
  exit 0
fi

# One build per cache at a time; whoever waited re-checks the stamp.
mkdir -p "$root"
exec 9>"$root/.lock"
flock 9
if [ -f "$stamp" ]; then
  echo "$prefix" >&3
  exit 0
fi

ensure_packages

work=$root/work-$key
logs=$root/logs-$key
src=$work/src
rm -rf "$work" "$prefix" "$logs"
mkdir -p "$src" "$logs" "$prefix/include" "$prefix/lib/pkgconfig"
say "building into $prefix (logs: $logs)"

# Runs "$@" (with errexit in force) and its output appended to a log; on
# failure names what failed and where the log is.
step() {
  local what=$1 log=$2 rc; shift 2
  set +e
  ( set -e; "$@" ) >>"$log" 2>&1
  rc=$?
  set -e
  [ $rc -eq 0 ] || die "FAILED: $what (log: $log)"
}

# ---------------------------------------------------------------- sources ---
fetch_sources() {
  cd "$src"
  apt-get source "libsdl2=$sdl_version"
  apt-get source "libopenmpt=$openmpt_version"
  local v got=
  for v in $(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' \
               | grep -F "$png_upstream-" | sort -urV); do
    # Security archive indexes can list a revision whose files are gone.
    if apt-get source "libpng1.6=$v"; then got=$v; break; fi
    rm -f libpng1.6_"$v".*
  done
  [ -n "$got" ] || { echo "no fetchable libpng1.6 $png_upstream-* source"; return 1; }
  echo "$got" >png-version
  mv "libsdl2-${sdl_version%-*}" sdl2
  mv "libopenmpt-${openmpt_version%-*}" libopenmpt
  mv "libpng1.6-$png_upstream" libpng
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

# ------------------------------------------------------------------ SDL2 ----
# Only what the demo uses: window, keyboard, message boxes, timers, audio
# (WASAPI, DirectSound, winmm) and the Direct3D/OpenGL/software renderers.
build_sdl2() {
  cmake -S "$src/sdl2" -B "$work/build-sdl2" "${cmake_common[@]}" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF \
    -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF \
    -DSDL_XINPUT=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF \
    -DSDL_DISKAUDIO=OFF -DSDL_CCACHE=OFF
  cmake --build "$work/build-sdl2" -j "$jobs"
  cmake --install "$work/build-sdl2"
}

# -------------------------------------------------------------- libpng ------
build_libpng() {
  cmake -S "$src/libpng" -B "$work/build-libpng" "${cmake_common[@]}" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a"
  cmake --build "$work/build-libpng" -j "$jobs"
  cmake --install "$work/build-libpng"
}

# ------------------------------------------------------------ libopenmpt ----
# Built from its source list with a small Makefile rather than autotools:
# it skips the configure run and libtool, and there is no zlib, mpg123,
# ogg/vorbis, player, examples or tests to configure anyway.
build_libopenmpt() {
  local s=$src/libopenmpt b=$work/build-libopenmpt
  mkdir -p "$b"
  local sources defines
  sources=$(awk '$1 ~ /^MPT_FILES_(SRC_MPT|SRC_OPENMPT|COMMON|SOUNDBASE|SOUNDLIB|SOUNDDSP)$/ \
                 && $2 == "+=" && $3 ~ /\.cpp$/ { print $3 }' "$s/Makefile.am")
  sources+=" libopenmpt/libopenmpt_c.cpp libopenmpt/libopenmpt_cxx.cpp"
  sources+=" libopenmpt/libopenmpt_ext_impl.cpp libopenmpt/libopenmpt_impl.cpp"
  # The version and package macros configure would define.
  defines=$(sed -n 's/^AC_DEFINE(\[\(MPT_[A-Z]*\)\], *\[\(.*\)\], *\[.*\])$/-D\1=\2/p' "$s/configure.ac")
  {
    echo "SRC := $s"
    echo "CXX := $cxx"
    echo "AR := ${triple}-gcc-ar"
    printf 'CPPFLAGS := -DLIBOPENMPT_BUILD -D_FILE_OFFSET_BITS=64'
    local d; while read -r d; do printf " '%s'" "$d"; done <<<"$defines"
    echo ' -I$(SRC)/build/svn_version -I$(SRC) -I$(SRC)/src -I$(SRC)/common'
    echo 'CXXFLAGS := -std=c++17 -O2 -fvisibility=hidden -municode -mthreads'
    printf 'OBJS :='; for f in $sources; do printf ' obj/%s' "${f%.cpp}.o"; done; echo
    printf 'libopenmpt.a: $(OBJS)\n\trm -f $@\n\t$(AR) rcs $@ $^\n'
    printf 'obj/%%.o: $(SRC)/%%.cpp\n\t@mkdir -p $(@D)\n\t$(CXX) $(CPPFLAGS) $(CXXFLAGS) -c $< -o $@\n'
  } >"$b/Makefile"
  make -C "$b" -j "$jobs"
  install -m 0644 "$b/libopenmpt.a" "$prefix/lib/"
  mkdir -p "$prefix/include/libopenmpt"
  local h
  for h in libopenmpt.h libopenmpt.hpp libopenmpt_version.h libopenmpt_config.h \
           libopenmpt_ext.h libopenmpt_ext.hpp libopenmpt_stream_callbacks_buffer.h \
           libopenmpt_stream_callbacks_fd.h libopenmpt_stream_callbacks_file.h; do
    install -m 0644 "$s/libopenmpt/$h" "$prefix/include/libopenmpt/"
  done
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
    [ -n "$done_pid" ] || die "FAILED: lost track of the library builds (logs: $logs)"
    lib=${lib_of[$done_pid]}
    unset "lib_of[$done_pid]"
    say "$lib: $(tail -n 1 "$logs/$lib.log")"
  else
    [ -n "$done_pid" ] || die "FAILED: lost track of the library builds (logs: $logs)"
    lib=${lib_of[$done_pid]}
    unset "lib_of[$done_pid]"
    die "FAILED: building $lib (log: $logs/$lib.log)"
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

rm -rf "$work"
date -u +%FT%TZ >"$stamp"
say "done in $((SECONDS - t0)) s"
echo "$prefix" >&3
