#!/usr/bin/env bash
# The whole demo at one frame rate against the golden files: frame hashes,
# trace and sound must be exactly what tests/golden pins.
#   check-demo.sh FPS PROGRAM [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fps=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$here/../../scripts/golden-outputs.sh" "$work" "$fps" "$@"
status=0
for f in "frames-$fps.txt" "trace-$fps.jsonl"; do
  diff -u "$here/$f" "$work/$f" | head -n 40 || true
  cmp -s "$here/$f" "$work/$f" || { echo "differs from tests/golden/$f"; status=1; }
done
exit $status
