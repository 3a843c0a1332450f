#!/usr/bin/env bash
# The web build's node output against the native program, given the same
# command lines: frame hashes, trace and sound byte for byte where the run
# renders, and the same exit code, output and messages where it does not.
#   same-as-native.sh DATA NATIVE -- WEB_COMMAND...
# (WEB_COMMAND: node and the .js file, e.g. "node build-web/tolvarin.js").
set -uo pipefail
data=$1 native=$2
shift 3
web=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The program names itself in usage lines (node gives the script's full
# path); both become PROGRAM.
script=
for a in "${web[@]}"; do case $a in *.js) script=$a ;; esac; done
names=("$(readlink -f "$native")" "$native" "$(readlink -f "$script")" "$script")
normalise() {
  local expressions=() n
  for n in "${names[@]}"; do expressions+=(-e "s|$n|PROGRAM|g"); done
  sed "${expressions[@]}" "$1"
}

# Runs both with the arguments; compares exit codes, stdout and stderr, and
# the files the run writes (named by the placeholder OUT).
compare() {
  local label=$1
  shift
  local side
  for side in native web; do
    mkdir -p "$work/$side"
    local args=("${@//OUT/$work/$side}")
    if [ "$side" = native ]; then
      "$native" "${args[@]}" >"$work/$side/stdout" 2>"$work/$side/stderr"
    else
      "${web[@]}" "${args[@]}" >"$work/$side/stdout" 2>"$work/$side/stderr"
    fi
    echo $? >"$work/$side/code"
  done
  cmp -s "$work/native/code" "$work/web/code" ||
    fail "$label: exit code $(cat "$work/web/code"), native $(cat "$work/native/code")"
  local f
  for f in stdout stderr; do
    if ! diff -u <(normalise "$work/native/$f") <(normalise "$work/web/$f") >"$work/diff"; then
      fail "$label: $f differs"
      head -n 20 "$work/diff"
    fi
  done
  for f in "$work"/native/*; do
    case ${f##*/} in stdout | stderr | code) continue ;; esac
    if [ ! -e "$work/web/${f##*/}" ]; then
      fail "$label: the web build wrote no ${f##*/}"
    elif ! cmp -s "$f" "$work/web/${f##*/}"; then
      fail "$label: ${f##*/} differs"
      diff "$f" "$work/web/${f##*/}" | head -n 6
    fi
  done
  rm -rf "$work/native" "$work/web"
}

outputs=(--frame-hashes OUT/frames.txt --trace OUT/trace.jsonl --wav OUT/music.wav)
# Scripted keys (two within one frame), a later end and the signals shifted
# later, at a rate that is no divisor of a second.
compare "keys, until, later signals" --headless --data "$data" --fps 50 --keys 2.5,7,7.01,30 --until 45 \
  --av-offset 40 "${outputs[@]}"
# The signals shifted earlier than the sound, at a low rate.
compare "earlier signals" --headless --data "$data" --fps 24 --until 25 --av-offset -120 "${outputs[@]}"
# A key every second skips through every scene to the end of the demo.
compare "keys through the whole demo" --headless --data "$data" --fps 30 \
  --keys 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18 "${outputs[@]}"
# No --data: each finds the data of its own build (build/data, build-web/data).
compare "default data folder" --headless --fps 60 --until 30 "${outputs[@]}"
# The trace on stderr.
compare "trace to stderr" --headless --data "$data" --until 6 --trace -
# Command lines that do not run.
compare "help" --help
compare "version" --version
compare "unknown option" --bogus
compare "unpaced headless" --headless --fps 0
compare "time out of range" --headless --until -1
compare "malformed shot" --headless --shot nonsense
compare "missing data folder" --headless --data "$work/nowhere"
compare "unwritable output" --headless --data "$data" --until 1 --frame-hashes "$work/nowhere/frames.txt"

[ "$failures" -eq 0 ] && echo "the web build matches the native program"
exit $((failures > 0))
