#!/usr/bin/env bash
# Builds a static libopenmpt for WebAssembly (Emscripten) from Debian's source
# package, so the web build plays the same music code as the native one.
#
# The result goes into a cache folder outside the clone:
#   ${TOLVARIN_CACHE:-$HOME/.cache/tolvarin}/web/libopenmpt-<version>-<hash>/
#     include/libopenmpt/*.h*   lib/libopenmpt.a   lib/pkgconfig/libopenmpt.pc
# <hash> covers this script, the emcc version and the Debian source version,
# so changing any of them builds into a fresh prefix.
#
# The prefix is printed as the last line of stdout (everything else goes to
# stderr), so a Makefile can do: prefix=$(scripts/deps-web.sh)
# A finished prefix holds a stamp file; with it present the script does
# nothing but print the prefix.
#
# The library is compiled directly from the source list in libopenmpt's
# Makefile.am with a generated makefile: no configure run, no libtool, and
# none of the optional codecs (zlib, mpg123, ogg, vorbis), programs, examples,
# tests or docs.
set -euo pipefail

# stdout is reserved for the prefix; everything else goes to stderr.
exec 3>&1 1>&2

me=deps-web
self=$(readlink -f "${BASH_SOURCE[0]}")
log=
say() { printf '%s: %s\n' "$me" "$*" >&2; }
die() {
  if [ -n "$log" ]; then
    printf '%s: error: %s (log: %s)\n' "$me" "$*" "$log" >&2
  else
    printf '%s: error: %s\n' "$me" "$*" >&2
  fi
  exit 1
}
trap 'die "unexpected failure at line $LINENO: $BASH_COMMAND"' ERR

home=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
cache=${TOLVARIN_CACHE:-$home/.cache/tolvarin}
mkdir -p "$cache/web" || die "cannot create cache folder $cache/web"
webdir=$(cd "$cache/web" && pwd)

sudo=()
need_root() {
  [ "$(id -u)" -eq 0 ] && return 0
  command -v sudo >/dev/null 2>&1 || die "need root or sudo to $1"
  sudo=(sudo)
}

apt_log=$webdir/apt.log
apt_run() {
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get -o DPkg::Lock::Timeout=600 "$@" >>"$apt_log" 2>&1
}

# --- 1. Packages -------------------------------------------------------------

packages=(emscripten nodejs dpkg-dev make xz-utils)

# One dpkg-query for everything: installed versions of the packages we need,
# plus libopenmpt-dev (the native library whose version we follow).
declare -A installed=()
query_packages() {
  local pkg st ver
  installed=()
  while read -r pkg st ver; do
    if [ "$st" = ii ]; then installed[${pkg%%:*}]=$ver; fi
  done < <(dpkg-query -W -f='${Package} ${db:Status-Abbrev} ${Version}\n' \
             "${packages[@]}" libopenmpt-dev 2>/dev/null || true)
}
query_packages
missing=()
for p in "${packages[@]}"; do
  [ -n "${installed[$p]:-}" ] || missing+=("$p")
done

apt_updated=0
apt_update() {
  need_root "run apt-get update"
  say "apt-get update"
  apt_run update || die "apt-get update failed (log: $apt_log)"
  apt_updated=1
}

if [ ${#missing[@]} -gt 0 ]; then
  need_root "install missing packages: ${missing[*]}"
  apt_update
  say "installing: ${missing[*]}"
  apt_run install -y --no-install-recommends "${missing[@]}" \
    || die "could not install packages: ${missing[*]} (log: $apt_log)"
  query_packages
fi
for tool in emcc em++ emar apt-get flock sha256sum make; do
  command -v "$tool" >/dev/null 2>&1 || die "missing tool: $tool"
done

# --- 2. Versions and the prefix ----------------------------------------------

# The source version follows the native libopenmpt-dev, so both builds play
# the same code. Without the native package, take what apt would install.
debver=${installed[libopenmpt-dev]:-}
if [ -z "$debver" ]; then
  debver=$(apt-cache policy libopenmpt-dev 2>/dev/null | awk '/Candidate:/ { print $2 }') || true
  if [ -z "$debver" ] || [ "$debver" = "(none)" ]; then
    [ "$apt_updated" -eq 1 ] || apt_update
    debver=$(apt-cache policy libopenmpt-dev 2>/dev/null | awk '/Candidate:/ { print $2 }') || true
  fi
  { [ -n "$debver" ] && [ "$debver" != "(none)" ]; } \
    || die "cannot tell which libopenmpt version to build: libopenmpt-dev is neither installed nor known to apt"
fi
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
emcc_version="$emcc_version $emcc_real ${installed[emscripten]:-}"

hash=$( { cat "$self"; printf '%s\n%s\n' "$emcc_version" "$debver"; } | sha256sum | cut -c1-10)
name=libopenmpt-$upver-$hash
prefix=$webdir/$name
stamp=$prefix/.build-complete

if [ -f "$stamp" ]; then
  echo "$prefix" >&3
  exit 0
fi

# Only one build per prefix at a time; a second caller waits, then finds the stamp.
exec 9>"$webdir/.$name.lock"
flock 9
if [ -f "$stamp" ]; then
  echo "$prefix" >&3
  exit 0
fi

em++ --version >/dev/null 2>&1 || die "em++ does not run (try: em++ --version)"

log=$webdir/$name.log
work=$webdir/work/$name
rm -rf "$work" "$prefix"
mkdir -p "$work"
: >"$log"
say "building libopenmpt $debver for WebAssembly into $prefix"
say "build log: $log"

# --- 3. Source ---------------------------------------------------------------

have_src_lists() {
  [ -n "$(apt-get indextargets --format '$(SITE)' 'Created-By: Sources' 'Component: main' 2>/dev/null)" ]
}

# Adds deb-src entries mirroring the machine's deb entries (main only).
add_deb_src() {
  need_root "add a deb-src entry to apt's sources"
  local parts=/etc/apt/sources.list.d/ mainlist=/etc/apt/sources.list src out
  eval "$(apt-config shell parts Dir::Etc::sourceparts/d mainlist Dir::Etc::sourcelist/f)"
  src=${parts%/}/debian.sources
  if [ -f "$src" ]; then
    out=${parts%/}/tolvarin-src.sources
    awk '
      function flush() {
        if (is_deb && body != "") printf "Types: deb-src\n%sComponents: main\n\n", body
        body = ""; is_deb = 0; keep = 0
      }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ { if (keep) body = body $0 "\n"; next }
      {
        field = tolower($0); sub(/:.*/, "", field)
        keep = 0
        if (field == "types") { is_deb = ($0 ~ /[: \t]deb([ \t]|$)/); next }
        if (field == "components") next
        keep = 1; body = body $0 "\n"
      }
      END { flush() }
    ' "$src" >"$work/deb-src.sources"
  elif [ -f "$mainlist" ]; then
    src=$mainlist
    out=${parts%/}/tolvarin-src.list
    # "deb [options] URI SUITE COMPONENTS" becomes "deb-src [options] URI SUITE main".
    awk '$1 == "deb" {
      rest = $0; sub(/^[ \t]*deb[ \t]+/, "", rest); opts = ""
      if (rest ~ /^\[/) { i = index(rest, "]"); opts = substr(rest, 1, i) " "; rest = substr(rest, i + 1) }
      if (split(rest, f, " ") >= 2) print "deb-src " opts f[1] " " f[2] " main"
    }' "$src" >"$work/deb-src.sources"
  else
    die "no apt sources found to derive a deb-src entry from"
  fi
  [ -s "$work/deb-src.sources" ] || die "could not derive a deb-src entry from $src"
  say "adding deb-src entry $out"
  "${sudo[@]}" install -m 0644 "$work/deb-src.sources" "$out" \
    || die "could not write $out"
}

if ! have_src_lists; then
  add_deb_src
  apt_update
fi

src_known() {
  apt-cache showsrc libopenmpt 2>/dev/null | grep -qx "Version: $debver"
}
if ! src_known; then
  [ "$apt_updated" -eq 1 ] || apt_update
  src_known || die "apt knows no source package libopenmpt=$debver (is a deb-src entry for main configured?)"
fi

t0=$SECONDS
say "fetching source libopenmpt=$debver"
( cd "$work" && apt-get source "libopenmpt=$debver" ) >>"$log" 2>&1 \
  || die "apt-get source libopenmpt=$debver failed"
srcdir=$work/libopenmpt-$upver
[ -f "$srcdir/Makefile.am" ] || die "unpacked source has no $srcdir/Makefile.am"
t_fetch=$((SECONDS - t0))

# --- 4. Build ----------------------------------------------------------------

# Prints the expansion of one variable from an automake file: every
# "NAME = ..." / "NAME += ..." line is collected, then $(VAR) references are
# expanded recursively.
am_list() {
  awk -v var="$1" '
    function expand(n,   a, k, m, v) {
      m = split(vals[n], a, " ")
      for (k = 1; k <= m; k++) {
        v = a[k]
        if (v ~ /^\$\([A-Za-z0-9_]+\)$/) expand(substr(v, 3, length(v) - 3))
        else print v
      }
    }
    /^[A-Za-z0-9_]+ *\+?= */ {
      line = $0; sub(/^[A-Za-z0-9_]+ *\+?= */, "", line); vals[$1] = vals[$1] " " line
    }
    END { expand(var) }
  ' "$srcdir/Makefile.am"
}

mapfile -t sources < <(am_list libopenmpt_la_SOURCES | grep '\.cpp$')
mapfile -t headers < <(am_list nobase_include_HEADERS)
[ ${#sources[@]} -gt 50 ] || die "could not read the source list from $srcdir/Makefile.am"
[ ${#headers[@]} -gt 0 ] || die "could not read the header list from $srcdir/Makefile.am"

# The version defines that configure would pass (MPT_SVNURL, MPT_SVNVERSION,
# MPT_SVNDATE, MPT_PACKAGE) go into a forced-include header instead.
sed -n 's/^AC_DEFINE(\[\(MPT_[A-Z]*\)\], \[\([^]]*\)\].*/#define \1 \2/p' \
  "$srcdir/configure.ac" >"$work/build_defs.h"
grep -q MPT_SVNVERSION "$work/build_defs.h" || die "could not read version defines from configure.ac"
pcversion=$(sed -n 's/^AC_INIT(\[libopenmpt\], \[\([^]]*\)\].*/\1/p' "$srcdir/configure.ac")
[ -n "$pcversion" ] || pcversion=$upver

# -fexceptions: libopenmpt throws internally, and Emscripten's JS-based
# exceptions are the kind that also work with -sASYNCIFY in the program.
cxxflags="-std=c++17 -O2 -fexceptions -fvisibility=hidden"
cppflags="-DLIBOPENMPT_BUILD -include $work/build_defs.h -Isrc/build/svn_version -Isrc -Isrc/src -Isrc/common"

ln -sfn "$srcdir" "$work/src"
{
  printf 'CXX := em++\nAR := emar\n'
  printf 'CXXFLAGS := %s\nCPPFLAGS := %s\n' "$cxxflags" "$cppflags"
  printf 'OBJS :='
  for s in "${sources[@]}"; do printf ' \\\n  obj/%s' "${s%.cpp}.o"; done
  printf '\n\n'
  cat <<'EOF'
libopenmpt.a: $(OBJS)
	rm -f $@
	$(AR) rcs $@ $(OBJS)

obj/%.o: src/%.cpp
	@mkdir -p $(@D)
	$(CXX) $(CXXFLAGS) $(CPPFLAGS) -c $< -o $@
EOF
} >"$work/Makefile"

jobs=$(nproc 2>/dev/null || echo 2)
t0=$SECONDS
say "compiling ${#sources[@]} files with em++ (-j$jobs)"
if ! make -C "$work" -j"$jobs" libopenmpt.a >>"$log" 2>&1; then
  first=$(grep -m1 -E 'error:|Error [0-9]' "$log" | cut -c1-200) || true
  die "compiling libopenmpt with em++ failed${first:+: $first}"
fi
t_build=$((SECONDS - t0))

# --- 5. Install --------------------------------------------------------------

mkdir -p "$prefix/include/libopenmpt" "$prefix/lib/pkgconfig"
for h in "${headers[@]}"; do
  install -m 0644 "$srcdir/$h" "$prefix/include/$h"
done
install -m 0644 "$work/libopenmpt.a" "$prefix/lib/libopenmpt.a"
# -fexceptions is in Libs because a program linked without it aborts on the
# first exception libopenmpt throws.
cat >"$prefix/lib/pkgconfig/libopenmpt.pc" <<EOF
prefix=$prefix
exec_prefix=\${prefix}
includedir=\${prefix}/include
libdir=\${exec_prefix}/lib

Name: libopenmpt
Description: Tracker module player based on OpenMPT (WebAssembly, static)
Version: $pcversion
Libs: -L\${libdir} -lopenmpt -fexceptions
Cflags: -I\${includedir}
EOF

printf 'libopenmpt %s\n%s\ncxxflags %s\nfetch %ss build %ss\n' \
  "$debver" "$emcc_version" "$cxxflags" "$t_fetch" "$t_build" >"$stamp.tmp"
mv "$stamp.tmp" "$stamp"
rm -rf "$work"
rmdir "$webdir/work" 2>/dev/null || true
say "done: fetch ${t_fetch}s, compile ${t_build}s"
echo "$prefix" >&3
