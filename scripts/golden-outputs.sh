#!/usr/bin/env bash
# Runs the whole demo headless at one frame rate and writes into OUT what the
# golden files pin:
#   frames-FPS.txt   every 10th line of --frame-hashes, the count and a
#                    SHA-256 of the whole file, and a SHA-256 of the --wav output
#   trace-FPS.jsonl  the --trace output as it is
# The program is given as a command, so the same outputs can be made by the
# native program, the WebAssembly build under node or the Windows build under
# Wine:
#   scripts/golden-outputs.sh OUT FPS PROGRAM [ARGS...]
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 OUT FPS PROGRAM [ARGS...]" >&2
  exit 2
fi
out=$1 fps=$2
shift 2
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$@" --headless --fps "$fps" --frame-hashes "$work/frames.txt" --trace "$work/trace.jsonl" --wav "$work/music.wav"

{
  echo "# The whole demo headless at $fps fps: every 10th frame of --frame-hashes, then digests of all"
  grep -v '^#' "$work/frames.txt" | awk 'NR % 10 == 1'
  echo "frames $(grep -vc '^#' "$work/frames.txt") sha256 $(sha256sum <"$work/frames.txt" | cut -d' ' -f1)"
  echo "wav sha256 $(sha256sum <"$work/music.wav" | cut -d' ' -f1)"
} >"$out/frames-$fps.txt"
cp "$work/trace.jsonl" "$out/trace-$fps.jsonl"
