#!/usr/bin/env bash
# The page output (linked with ASYNCIFY, its data packed at /data of its own
# file system) run headless under node: the whole demo at 60 fps must give
# the pinned frame hashes and trace. It sees no real files, so the hashes go
# to /dev/stdout and the trace to stderr; it runs from its own folder, where
# its .wasm and .data lie. From any other folder its data is not found, and
# that must end in failure, not in exit code 0 with nothing run.
#   page-output.sh GOLDEN_DIR PAGE_JS NODE...
set -euo pipefail
golden=$1 page=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
page=$(cd "$(dirname "$page")" && pwd)/$(basename "$page")
if (cd "$work" && "$@" "$page" --headless --until 1 >/dev/null 2>&1); then
  echo "the page output ran from a folder without its data and ended with exit code 0"
  status=1
fi
cd "$(dirname "$page")"
"$@" "$(basename "$page")" --headless --fps 60 --frame-hashes /dev/stdout --trace - \
  >"$work/frames.txt" 2>"$work/trace.jsonl"
# The summary scripts/golden-outputs.sh makes, without the sound.
{
  echo "# The whole demo headless at 60 fps: every 10th frame of --frame-hashes, then digests of all"
  grep -v '^#' "$work/frames.txt" | awk 'NR % 10 == 1'
  echo "frames $(grep -vc '^#' "$work/frames.txt") sha256 $(sha256sum <"$work/frames.txt" | cut -d' ' -f1)"
} >"$work/summary.txt"
diff -u <(grep -v '^wav ' "$golden/frames-60.txt") "$work/summary.txt" | head -n 20 ||
  true
cmp -s <(grep -v '^wav ' "$golden/frames-60.txt") "$work/summary.txt" || { echo "frames differ from frames-60.txt"; status=1; }
cmp -s "$golden/trace-60.jsonl" "$work/trace.jsonl" || {
  diff -u "$golden/trace-60.jsonl" "$work/trace.jsonl" | head -n 20
  echo "trace differs from trace-60.jsonl"
  status=1
}
[ $status -eq 0 ] && echo "the page output gives the pinned frames and trace"
exit $status
