#!/usr/bin/env bash
# Rewrites the golden files in tests/golden from the current build: the whole
# demo at 30, 60 and 144 fps and the kernels' outputs. Only for a deliberate
# change to pictures, music or arithmetic; commit the result on its own and
# say in the message what changed and why.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target tolvarin tolvarin_data tolvarin_golden_tests >/dev/null
for fps in 30 60 144; do
  scripts/golden-outputs.sh tests/golden "$fps" "$build/tolvarin" --data "$build/data"
done
TOLVARIN_REPIN_KERNELS="$PWD/tests/golden/kernels.txt" "$build/tolvarin_golden_tests" >/dev/null
git status --short tests/golden
