#!/usr/bin/env bash
# Runs the demo: in a window when there is a display, otherwise a headless
# render of the whole demo, with its music, to tolvarin.mp4.
set -euo pipefail
build=${1:-build}
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/tolvarin"
fi
echo "No display found: rendering the demo headless to tolvarin.mp4."
"$build/tolvarin" --headless --record tolvarin.mp4 --record-scale 2
echo "Wrote tolvarin.mp4"
