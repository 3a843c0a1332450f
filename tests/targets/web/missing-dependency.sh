#!/usr/bin/env bash
# A piece of the web build missing stops it with one line naming the piece,
# before anything compiles: make web's own check, and CMake's when the build
# is configured by hand.
#   missing-dependency.sh SOURCE_DIR TOOLCHAIN OPENMPT_PREFIX
set -uo pipefail
source=$1 toolchain=$2 openmpt=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/empty"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# make web's check: one line on stderr, nothing else, nothing built.
TOLVARIN_WEB_OPENMPT=$work/empty TOLVARIN_WEB_BUILD=$work/web TOLVARIN_NATIVE_BUILD=$work/native \
  "$source/scripts/build-web.sh" >"$work/stdout" 2>"$work/stderr"
code=$?
[ "$code" -eq 1 ] || fail "make web without libopenmpt: exit code $code"
[ "$(wc -l <"$work/stderr")" -eq 1 ] || fail "make web without libopenmpt: not one line: $(cat "$work/stderr")"
grep -q "^make web: libopenmpt for WebAssembly not found in '$work/empty'" "$work/stderr" ||
  fail "make web without libopenmpt: $(cat "$work/stderr")"
[ -s "$work/stdout" ] && fail "make web without libopenmpt printed: $(cat "$work/stdout")"
[ -e "$work/web" ] || [ -e "$work/native" ] && fail "make web without libopenmpt built something"

# CMake by hand: the configuration stops at the missing piece, naming it.
configure() {  # configure LABEL EXPECTED CMAKE_ARGS...
  local label=$1 expected=$2
  shift 2
  rm -rf "$work/build"
  if cmake -S "$source" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" "$@" >"$work/log" 2>&1; then
    fail "$label: the configuration went through"
  elif ! tr -s ' \n' '  ' <"$work/log" | grep -qF "make web: $expected"; then
    fail "$label: no 'make web: $expected' in:"
    cat "$work/log"
  fi
}
configure "no libopenmpt" "libopenmpt for WebAssembly not found in '$work/empty'" \
  -DTOLVARIN_WEB_OPENMPT="$work/empty"
configure "no generated data" "no generated data in $work/native" \
  -DTOLVARIN_WEB_OPENMPT="$openmpt" -DTOLVARIN_NATIVE_BUILD="$work/native"

[ "$failures" -eq 0 ] && echo "a missing piece stops the web build with one line"
exit $((failures > 0))
