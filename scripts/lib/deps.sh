# shellcheck shell=bash disable=SC2034 # the variables set here are read by the sourcing script
# What the dependency scripts share; sourced, never run. The sourcing script
# sets errexit/pipefail itself and names itself first:
#
#   deps_name=deps-web     # prefix of every message
#   deps_uses_sources=1    # when it fetches source packages (see deps_apt_update)
#   deps_fail='error: '    # put before the text of a fatal message ('' for none)
#   . "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/deps.sh"
#
# It gives:
#   say / die                  messages on stderr; die ends the script with one line
#   deps_stdout_to_stderr      keeps stdout for the printed prefix (fd 3) only
#   deps_apt_install PKG...    installs what is missing (sudo when not root)
#   deps_installed_version PKG sets deps_version ('' when not installed)
#   deps_candidate_version PKG sets deps_version to what apt would install
#   deps_source_ready SPEC...  a deb-src entry, and apt knowing each PKG[=VERSION]
#   deps_source DIR PKG=VER    apt-get source into DIR
#   deps_key [TEXT...]         hash of the calling script, this file and TEXT
#   deps_cache_claim DIR NAME  a cache folder: print it if built, else lock it
#   deps_cache_done [TEXT]     mark it built, print it, exit
#   deps_build_libopenmpt ...  libopenmpt from its Debian source, any compiler

deps_name=${deps_name:-${0##*/}}
deps_fail=${deps_fail-}
deps_lib=$(readlink -f "${BASH_SOURCE[0]}")
deps_jobs=${deps_jobs:-$(nproc 2>/dev/null || echo 2)}

# An unexpected failure (errexit) names the command before the script ends.
trap 'die "unexpected failure at line $LINENO: $BASH_COMMAND"' ERR

say() { printf '%s: %s\n' "$deps_name" "$*" >&2; }
die() {
  printf '%s: %s%s\n' "$deps_name" "$deps_fail" "$*" >&2
  exit 1
}

# After this, plain output goes to stderr and the prefix is printed on fd 3,
# so the last line of stdout is the prefix: prefix=$(scripts/deps-web.sh)
deps_stdout_to_stderr() {
  exec 3>&1 1>&2
}

deps_home=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
deps_cache=${TOLVARIN_CACHE:-$deps_home/.cache/tolvarin}

# --- apt ---------------------------------------------------------------------

deps_sudo=()
deps_need_root() {
  [ "$(id -u)" -eq 0 ] && return 0
  command -v sudo >/dev/null 2>&1 || die "need root or sudo to $1"
  deps_sudo=(sudo)
}

deps_apt_log=$deps_cache/apt.log
deps_apt() {
  mkdir -p "${deps_apt_log%/*}"
  printf '\n== %s %s: apt-get %s\n' "$(date -u +%FT%TZ)" "$deps_name" "$*" >>"$deps_apt_log"
  "${deps_sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get -o DPkg::Lock::Timeout=600 "$@" >>"$deps_apt_log" 2>&1
}

# At most one apt-get update a run: after it, what apt does not know is not
# there. A script that fetches source packages sets deps_uses_sources=1
# first, so that a missing deb-src entry is added before that one update
# rather than needing a second.
deps_uses_sources=${deps_uses_sources:-0}
deps_apt_updated=0
deps_apt_update() {
  [ "$deps_apt_updated" -eq 0 ] || return 0
  deps_need_root "run apt-get update"
  [ "$deps_uses_sources" -eq 0 ] || deps_have_deb_src || deps_add_deb_src
  say "apt-get update"
  deps_apt update || die "apt-get update failed (log: $deps_apt_log)"
  deps_apt_updated=1
}

# Installed versions by package name, from one dpkg-query for all of them.
declare -A deps_versions=()
deps_query() {
  local pkg st ver
  while read -r pkg st ver; do
    if [ "$st" = ii ]; then deps_versions[${pkg%%:*}]=$ver; else unset "deps_versions[${pkg%%:*}]"; fi
  done < <(dpkg-query -W -f='${Package} ${db:Status-Abbrev} ${Version}\n' "$@" 2>/dev/null || true)
}

# These two set deps_version (not printed: an apt-get update made in a
# command substitution would be forgotten, and made again).
deps_installed_version() {
  [ -n "${deps_versions[$1]+set}" ] || deps_query "$1"
  deps_version=${deps_versions[$1]:-}
}

# What apt would install; empty when it knows no such package even after an update.
deps_candidate_version() {
  local v
  v=$(apt-cache policy "$1" 2>/dev/null | awk '/Candidate:/ { print $2 }') || true
  if [ -z "$v" ] || [ "$v" = "(none)" ]; then
    deps_apt_update
    v=$(apt-cache policy "$1" 2>/dev/null | awk '/Candidate:/ { print $2 }') || true
  fi
  [ "$v" != "(none)" ] || v=
  deps_version=$v
}

# Installs those of the packages that are not installed (no recommends).
deps_apt_install() {
  local p missing=()
  deps_query "$@"
  for p in "$@"; do
    [ -n "${deps_versions[$p]:-}" ] || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  deps_need_root "install missing packages: ${missing[*]}"
  deps_apt_update
  say "installing: ${missing[*]}"
  deps_apt install -y --no-install-recommends "${missing[@]}" \
    || die "could not install packages: ${missing[*]} (log: $deps_apt_log)"
  deps_query "${missing[@]}"
}

# --- Debian source packages ---------------------------------------------------

# Adds deb-src entries (component main) mirroring the machine's deb entries:
# Debian's stock images carry binary entries only.
deps_add_deb_src() {
  deps_need_root "add a deb-src entry to apt's sources"
  local parts=/etc/apt/sources.list.d/ mainlist=/etc/apt/sources.list src out tmp
  eval "$(apt-config shell parts Dir::Etc::sourceparts/d mainlist Dir::Etc::sourcelist/f)"
  tmp=$(mktemp)
  src=${parts%/}/debian.sources
  if [ -f "$src" ]; then
    out=${parts%/}/tolvarin-src.sources
    # Every deb stanza again as deb-src; URIs, Suites, Signed-By (with its
    # continuation lines) kept, comments dropped.
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
    ' "$src" >"$tmp"
  elif [ -f "$mainlist" ]; then
    src=$mainlist
    out=${parts%/}/tolvarin-src.list
    # "deb [options] URI SUITE COMPONENTS" becomes "deb-src [options] URI SUITE main".
    awk '$1 == "deb" {
      rest = $0; sub(/^[ \t]*deb[ \t]+/, "", rest); opts = ""
      if (rest ~ /^\[/) { i = index(rest, "]"); opts = substr(rest, 1, i) " "; rest = substr(rest, i + 1) }
      if (split(rest, f, " ") >= 2) print "deb-src " opts f[1] " " f[2] " main"
    }' "$src" >"$tmp"
  else
    rm -f "$tmp"
    die "no apt sources found to derive a deb-src entry from"
  fi
  [ -s "$tmp" ] || { rm -f "$tmp"; die "could not derive a deb-src entry from $src"; }
  say "adding deb-src entry $out"
  "${deps_sudo[@]}" install -m 0644 "$tmp" "$out" || { rm -f "$tmp"; die "could not write $out"; }
  rm -f "$tmp"
}

# Whether apt's sources have a deb-src entry for main (enabled).
deps_have_deb_src() {
  [ -n "$(apt-get indextargets --format '$(SITE)' 'Created-By: Sources' 'Component: main' 2>/dev/null)" ]
}

deps_source_known() {  # PKG [VERSION]
  # The whole listing first: grep -q in a pipe would stop reading early, and
  # the writer's broken pipe would then fail the test under pipefail.
  local versions
  versions=$(apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p') || true
  if [ -n "${2:-}" ]; then
    grep -qxF -e "$2" <<<"$versions"
  else
    [ -n "$versions" ]
  fi
}

# Makes sure apt can fetch each source package PKG[=VERSION]: a deb-src entry
# for main (added when there is none) and source indexes that list them.
deps_source_ready() {
  local wanted pkg ver
  if ! deps_have_deb_src; then
    deps_add_deb_src
    deps_apt_updated=0  # the new entry's indexes are not fetched yet
    deps_apt_update
  fi
  for wanted in "$@"; do
    pkg=${wanted%%=*} ver=
    [[ $wanted != *=* ]] || ver=${wanted#*=}
    deps_source_known "$pkg" "$ver" && continue
    deps_apt_update
    deps_source_known "$pkg" "$ver" \
      || die "apt knows no source package $wanted (is a deb-src entry for main configured?)"
  done
}

# apt-get source PKG=VERSION, unpacked in DIR; its output goes to stdout.
deps_source() {
  (cd "$1" && apt-get source "$2")
}

# --- cache folders -------------------------------------------------------------

# A short hash of the calling script, this file and the given text (compiler
# and source versions): a change to any of them names a new cache folder.
deps_key() {
  { cat "$(readlink -f "${BASH_SOURCE[-1]}")" "$deps_lib"; printf '%s\n' "$@"; } | sha256sum | cut -c1-12
}

# deps_cache_claim DIR NAME: the cache folder DIR/NAME. When it holds the
# completion marker (written last, by deps_cache_done) it is printed on fd 3
# and the script ends. Otherwise the script takes the folder's lock -- a
# second run for the same folder waits there, and then finds it built -- and
# starts afresh: what an interrupted run left is removed. Sets deps_prefix,
# deps_work (scratch space, removed when done) and deps_logs (kept).
deps_cache_claim() {
  local dir=$1 name=$2
  mkdir -p "$dir" || die "cannot create cache folder $dir"
  dir=$(cd "$dir" && pwd)
  deps_prefix=$dir/$name
  deps_stamp=$deps_prefix/.complete
  deps_work=$dir/work/$name
  deps_logs=$dir/logs/$name
  [ -f "$deps_stamp" ] && deps_cache_print
  exec 9>"$dir/.$name.lock"
  if ! flock -n 9; then
    say "waiting for another run building $deps_prefix"
    flock 9
  fi
  [ -f "$deps_stamp" ] && deps_cache_print
  rm -rf "$deps_prefix" "$deps_work" "$deps_logs"
  mkdir -p "$deps_prefix" "$deps_work" "$deps_logs"
}

deps_cache_print() {
  echo "$deps_prefix" >&3
  exit 0
}

# Marks the claimed folder complete (TEXT, if given, goes into the marker),
# removes the scratch space, prints the folder and ends the script.
deps_cache_done() {
  { date -u +%FT%TZ; [ $# -eq 0 ] || printf '%s\n' "$@"; } >"$deps_stamp.tmp"
  mv "$deps_stamp.tmp" "$deps_stamp"
  rm -rf "$deps_work"
  rmdir "${deps_work%/*}" 2>/dev/null || true
  deps_cache_print
}

# --- libopenmpt -----------------------------------------------------------------

# Prints the expansion of one variable of an automake file: every
# "NAME = ..." / "NAME += ..." line is collected, then $(VAR) references are
# expanded recursively.
deps_am_list() {  # FILE VAR
  awk -v var="$2" '
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
  ' "$1"
}

# deps_build_libopenmpt SRC BUILD PREFIX CXX AR CXXFLAGS
# A static libopenmpt from Debian's unpacked source in SRC, compiled in BUILD
# and installed into PREFIX (include/libopenmpt/, lib/libopenmpt.a; the
# pkg-config file is the caller's). The source list is libopenmpt_la_SOURCES
# from its Makefile.am, compiled by a generated makefile: no configure run,
# no libtool, and none of the optional codecs (zlib, mpg123, ogg, vorbis),
# programs, examples, tests or docs. The version macros configure would
# define come from configure.ac. Sources are named relative to BUILD (through
# the link BUILD/src), so no cache path ends up in the objects. Make's
# output goes to stdout.
deps_build_libopenmpt() {
  local src=$1 build=$2 prefix=$3 cxx=$4 ar=$5 cxxflags=$6
  local sources headers defines s h
  [ -f "$src/Makefile.am" ] || { echo "no Makefile.am in $src"; return 1; }
  mapfile -t sources < <(deps_am_list "$src/Makefile.am" libopenmpt_la_SOURCES | grep '\.cpp$')
  mapfile -t headers < <(deps_am_list "$src/Makefile.am" nobase_include_HEADERS)
  [ ${#sources[@]} -gt 50 ] || { echo "no source list in $src/Makefile.am"; return 1; }
  [ ${#headers[@]} -gt 0 ] || { echo "no header list in $src/Makefile.am"; return 1; }
  mapfile -t defines < <(sed -n 's/^AC_DEFINE(\[\(MPT_[A-Z]*\)\], *\[\(.*\)\], *\[.*\])$/-D\1=\2/p' \
                           "$src/configure.ac")
  [[ " ${defines[*]}" == *" -DMPT_SVNVERSION="* ]] || { echo "no version macros in $src/configure.ac"; return 1; }

  mkdir -p "$build" || return 1
  ln -sfn "$src" "$build/src" || return 1
  {
    printf 'CXX := %s\nAR := %s\n' "$cxx" "$ar"
    printf 'CPPFLAGS := -DLIBOPENMPT_BUILD'
    for s in "${defines[@]}"; do printf " '%s'" "$s"; done
    printf ' -Isrc/build/svn_version -Isrc -Isrc/src -Isrc/common\n'
    printf 'CXXFLAGS := %s\n' "$cxxflags"
    printf 'OBJS :='
    for s in "${sources[@]}"; do printf ' \\\n  obj/%s' "${s%.cpp}.o"; done
    printf '\n\n'
    cat <<'EOF'
libopenmpt.a: $(OBJS)
	rm -f $@
	$(AR) rcs $@ $(OBJS)

obj/%.o: src/%.cpp
	@mkdir -p $(@D)
	$(CXX) $(CPPFLAGS) $(CXXFLAGS) -c $< -o $@
EOF
  } >"$build/Makefile" || return 1
  make -C "$build" -j "$deps_jobs" libopenmpt.a || return 1

  for h in "${headers[@]}"; do
    install -D -m 0644 "$src/$h" "$prefix/include/$h" || return 1
  done
  install -D -m 0644 "$build/libopenmpt.a" "$prefix/lib/libopenmpt.a"
}
