#!/usr/bin/env bash
# Real-time soak: the whole demo in a window under Xvfb at 60 fps, the sound
# going to a file through SDL's disk audio driver. Reports frames presented
# against a headless run of the same demo, the CPU time used, and how long
# after each marker is heard the first frame reacting to it is shown.
# Usage: scripts/soak.sh [BUILD-DIR [PROGRAM-OPTIONS...]]   (needs Xvfb and python3)
#   e.g. scripts/soak.sh build --scale 1
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
work=$(mktemp -d)
. scripts/soak_xvfb.sh
soak_start_xvfb
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"

echo "Headless reference run..."
"$build/tolvarin" --headless --data "$build/data" --trace "$work/headless.jsonl" \
  --frame-hashes "$work/headless.frames" --wav "$work/headless.wav" >/dev/null 2>&1

echo "Real-time run in the window (about 2.5 minutes)..."
: >"$work/trace.jsonl"
python3 scripts/soak_watch.py "$work" &
watcher=$!
soak_also_stop "$watcher"
/usr/bin/time -f '%e %U %S' -o "$work/time.txt" \
  "$build/tolvarin" "$@" --data "$build/data" --trace "$work/trace.jsonl" --frame-hashes "$work/frames.txt" \
  >/dev/null 2>"$work/stderr.txt" &
prog=$!
soak_also_stop "$prog"
# The demo waits for a last key after the closing picture; send it once the
# music has played out (the disk driver's file holds as much as the module).
need=$(( $(stat -c %s "$work/headless.wav") - 44 ))
until [ "$(stat -c %s "$work/audio.raw" 2>/dev/null || echo 0)" -ge "$need" ]; do sleep 0.5; done
wid=$(xdotool search --name '^Tolvarin, Quarnel, 2000\.$' | head -n 1)
xdotool windowfocus "$wid" 2>/dev/null || true
xdotool key space
wait "$prog" || true
kill "$watcher" 2>/dev/null || true
wait "$watcher" 2>/dev/null || true
python3 scripts/soak_report.py "$work" "$build"
echo "(files in $work)"
