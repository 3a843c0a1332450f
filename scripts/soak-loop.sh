#!/usr/bin/env bash
# Party-screen soak: the demo with --loop in a window under Xvfb, as on a
# screen nobody watches: no key is pressed, the sound goes through SDL's disk
# driver into a FIFO that a watcher reads (scripts/soak_loop_watch.py). Runs
# for an hour (until the first pass that ends after 60 minutes), then reports per
# pass: frames presented against a headless run, missed frames, markers heard
# against syncs delivered and frames shown, resident memory at the pass end,
# CPU time (scripts/soak_loop_report.py).
# --short: two passes, and during the second the program is stopped for 5 s
# (SIGSTOP, SIGCONT) and later starved of CPU for 20 s (two spinning
# processes); the report says how the demo came through both.
# Usage: scripts/soak-loop.sh [--short | --minutes M | --passes N] [BUILD-DIR [PROGRAM-OPTIONS...]]
#   e.g. scripts/soak-loop.sh --short build
#        scripts/soak-loop.sh build --fullscreen        (needs Xvfb, xdotool and python3)
# The files stay in the folder it prints (SOAK_DIR=folder to choose it).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=(--minutes 60)
while [ $# -gt 0 ]; do
  case $1 in
    --short) mode=(--passes 2 --disturb); shift ;;
    --minutes) mode=(--minutes "$2"); shift 2 ;;
    --passes) mode=(--passes "$2"); shift 2 ;;
    *) break ;;
  esac
done
build=${1:-build}
shift || true
work=${SOAK_DIR:-$(mktemp -d)}
mkdir -p "$work"
. scripts/soak_xvfb.sh
soak_start_xvfb

echo "Headless reference run (two passes)..."
"$build/tolvarin" --headless --quiet --loop 2 --data "$build/data" --trace "$work/headless.jsonl" \
  --frame-hashes "$work/headless.frames" --wav "$work/headless.wav" >/dev/null 2>&1

rm -f "$work/audio.fifo"
mkfifo "$work/audio.fifo"
: >"$work/trace.jsonl"
echo "Looping run in the window (${mode[*]}), files in $work ..."
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.fifo" \
  "$build/tolvarin" --loop "$@" --data "$build/data" --trace "$work/trace.jsonl" \
  --frame-hashes "$work/frames.txt" >/dev/null 2>"$work/stderr.txt" &
prog=$!
soak_also_stop "$prog"
python3 scripts/soak_loop_watch.py "$work" "$prog" "${mode[@]}" &
watcher=$!
soak_also_stop "$watcher"
rc=0
wait "$prog" || rc=$?
wait "$watcher" || true
echo "The program ended with exit code $rc."
python3 scripts/soak_loop_report.py "$work"
echo "(files in $work)"
