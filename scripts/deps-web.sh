#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# Builds a static libopenmpt for WebAssembly (Emscripten) from Debian's source
# package, so the web build plays the same music code as the native one.
#
# The result goes into a cache folder outside the clone:
#   ${TOLVARIN_CACHE:-$HOME/.cache/tolvarin}/web/libopenmpt-<version>-<hash>/
#     include/libopenmpt/*.h*   lib/libopenmpt.a   lib/pkgconfig/libopenmpt.pc
# <hash> covers this script, scripts/lib/deps.sh, the emcc version and the
# Debian source version, so changing any of them builds into a fresh prefix.
#
# The prefix is printed as the last line of stdout (everything else goes to
# stderr), so a Makefile can do: prefix=$(scripts/deps-web.sh)
# A finished prefix holds a completion marker; with it present the script
# does nothing but print the prefix. Two runs at once: the second waits for
# the first to finish the prefix.
set -euo pipefail

deps_name=deps-web deps_fail='error: ' deps_uses_sources=1
# shellcheck source=lib/deps.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/deps.sh"
deps_stdout_to_stderr

deps_apt_install emscripten nodejs dpkg-dev make xz-utils
for tool in emcc em++ emar apt-get flock sha256sum make; do
  command -v "$tool" >/dev/null 2>&1 || die "missing tool: $tool"
done

# The source version follows the native libopenmpt-dev, so both builds play
# the same code. Without the native package, take what apt would install.
deps_installed_version libopenmpt-dev
[ -n "$deps_version" ] || deps_candidate_version libopenmpt-dev
debver=$deps_version
[ -n "$debver" ] \
  || die "cannot tell which libopenmpt version to build: libopenmpt-dev is neither installed nor known to apt"
upver=${debver#*:}      # drop the epoch
upver=${upver%-*}       # drop the Debian revision

# The version file beside the real emcc is what "emcc --version" reports;
# reading it avoids starting Python on every (cached) call. The Debian
# package version is added so a rebuild of the toolchain counts as a change.
emcc_real=$(readlink -f "$(command -v emcc)")
if [ -f "${emcc_real%/*}/emscripten-version.txt" ]; then
  emcc_version="emcc $(tr -d '"\n' <"${emcc_real%/*}/emscripten-version.txt")"
else
  emcc_version=$(emcc --version 2>/dev/null | head -n 1) || true
fi
[ -n "$emcc_version" ] || die "cannot tell the emcc version (emcc --version failed)"
deps_installed_version emscripten
emcc_version="$emcc_version $emcc_real $deps_version"

deps_cache_claim "$deps_cache/web" "libopenmpt-$upver-$(deps_key "$emcc_version" "$debver")"
prefix=$deps_prefix work=$deps_work
log=$deps_logs/build.log
em++ --version >/dev/null 2>&1 || die "em++ does not run (try: em++ --version)"
say "building libopenmpt $debver for WebAssembly into $prefix"
say "build log: $log"

deps_source_ready "libopenmpt=$debver"
t0=$SECONDS
say "fetching source libopenmpt=$debver"
deps_source "$work" "libopenmpt=$debver" >>"$log" 2>&1 \
  || die "apt-get source libopenmpt=$debver failed (log: $log)"
srcdir=$work/libopenmpt-$upver
t_fetch=$((SECONDS - t0))

# -fexceptions: libopenmpt throws internally, and Emscripten's JS-based
# exceptions are the kind that also work with -sASYNCIFY in the program.
cxxflags="-std=c++17 -O2 -fexceptions -fvisibility=hidden"
t0=$SECONDS
say "compiling libopenmpt with em++ (-j$deps_jobs)"
if ! deps_build_libopenmpt "$srcdir" "$work/build" "$prefix" em++ emar "$cxxflags" >>"$log" 2>&1; then
  first=$(grep -m1 -E 'error:|Error [0-9]' "$log" | cut -c1-200) || true
  die "compiling libopenmpt with em++ failed${first:+: $first} (log: $log)"
fi
t_build=$((SECONDS - t0))

pcversion=$(sed -n 's/^AC_INIT(\[libopenmpt\], \[\([^]]*\)\].*/\1/p' "$srcdir/configure.ac")
# -fexceptions is in Libs because a program linked without it aborts on the
# first exception libopenmpt throws.
mkdir -p "$prefix/lib/pkgconfig"
cat >"$prefix/lib/pkgconfig/libopenmpt.pc" <<EOF
prefix=$prefix
exec_prefix=\${prefix}
includedir=\${prefix}/include
libdir=\${exec_prefix}/lib

Name: libopenmpt
Description: Tracker module player based on OpenMPT (WebAssembly, static)
Version: ${pcversion:-$upver}
Libs: -L\${libdir} -lopenmpt -fexceptions
Cflags: -I\${includedir}
EOF

say "done: fetch ${t_fetch}s, compile ${t_build}s"
deps_cache_done "libopenmpt $debver" "$emcc_version" "cxxflags $cxxflags" "fetch ${t_fetch}s build ${t_build}s"
