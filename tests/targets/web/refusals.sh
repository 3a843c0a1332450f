#!/usr/bin/env bash
# What the web build cannot do it refuses before running, with one line and
# the exit code of a bad option (2), leaving no file behind: --shot (no PNG
# library), --record (no ffmpeg to start). Real time needs the browser page,
# which node has not: exit 1, and no thread is started for its sound.
#   refusals.sh DATA NODE... PROGRAM_JS
set -uo pipefail
data=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect() {  # expect LABEL CODE MESSAGE -- ARGS...
  local label=$1 code=$2 message=$3
  shift 4
  "$@" >"$work/stdout" 2>"$work/stderr"
  local got=$?
  if [ "$got" -ne "$code" ]; then
    echo "FAIL: $label: exit code $got, expected $code"
    failures=$((failures + 1))
  fi
  if [ "$(cat "$work/stderr")" != "$message" ]; then
    echo "FAIL: $label: stderr was:"
    cat "$work/stderr"
    failures=$((failures + 1))
  fi
  if [ -s "$work/stdout" ] || [ -n "$(ls "$work/out" 2>/dev/null)" ]; then
    echo "FAIL: $label: left output behind"
    failures=$((failures + 1))
  fi
}

mkdir -p "$work/out"
expect "--shot" 2 "tolvarin: --shot is not available in this build (it cannot write PNG files)" -- \
  "$@" --headless --data "$data" --shot "1:$work/out/a.png"
expect "--record" 2 "tolvarin: --record is not available in this build (it cannot start ffmpeg)" -- \
  "$@" --data "$data" --record "$work/out/a.mp4"
expect "--record with --shot" 2 "tolvarin: --shot is not available in this build (it cannot write PNG files)" -- \
  "$@" --data "$data" --record "$work/out/a.mkv" --shot "1:$work/out/a.png"
expect "real time" 1 "tolvarin: no display found (no browser page here; the page is index.html); try --headless" -- \
  "$@" --data "$data" --wav "$work/out/a.wav"

[ "$failures" -eq 0 ] && echo "the web build refuses what it cannot do"
exit $((failures > 0))
