#!/usr/bin/env bash
# Calm mode over the whole demo at one frame rate: no second of the frames
# as shown holds more than 3 flashes, the trace is exactly the default one
# (tests/golden pins it), the frame count is the same and the frames the
# filter had no need to change are the default ones. The default frames'
# strobe is measured too, so the meter is known to count something real.
#   check-calm.sh FPS PROGRAM [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fps=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "calm mode at $fps fps: $*"
  exit 1
}
worst() { sed -n 's/^worst second \([0-9]*\) .*/\1/p' "$1"; }

"$@" --headless --fps "$fps" --calm --frame-hashes "$work/frames.txt" --trace "$work/trace.jsonl" \
  --flash-report "$work/calm.txt"
"$@" --headless --fps "$fps" --until 53 --flash-report "$work/default.txt"

echo "default, to 53 s: $(grep -E '^(total|worst)' "$work/default.txt" | tr '\n' ' ')"
echo "calm, whole demo: $(grep -E '^(total|worst)' "$work/calm.txt" | tr '\n' ' ')"
[ "$(worst "$work/default.txt")" -gt 3 ] || fail "the default strobe measured no second over 3 flashes"
[ -n "$(worst "$work/calm.txt")" ] || fail "no flash report"
[ "$(worst "$work/calm.txt")" -le 3 ] || fail "a second holds more than 3 flashes"

cmp -s "$here/trace-$fps.jsonl" "$work/trace.jsonl" || {
  diff -u "$here/trace-$fps.jsonl" "$work/trace.jsonl" | head -n 20
  fail "the trace differs from the default one"
}
# Every 10th frame's hash as the golden file pins it, and the count.
grep -v '^#' "$work/frames.txt" | awk 'NR % 10 == 1' >"$work/sampled.txt"
count=$(grep -vc '^#' "$work/frames.txt")
grep -q "^frames $count " "$here/frames-$fps.txt" || fail "$count frames, not as many as the default run"
changed=$(grep -E '^[0-9]+ ' "$here/frames-$fps.txt" | diff - "$work/sampled.txt" | grep -c '^>' || true)
sampled=$(wc -l <"$work/sampled.txt")
echo "frames changed by the filter: $changed of $sampled sampled"
[ $((changed * 20)) -lt "$sampled" ] || fail "$changed of $sampled sampled frames changed (a twentieth at most)"
