#!/usr/bin/env bash
# Builds the libFuzzer targets (clang) and runs each for SECONDS (default 60),
# side by side, starting from the seed corpora in fuzz/corpus. Any crash,
# leak or sanitizer report fails the run; the input is left in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(picture font mesh)

cmake --preset fuzz >/dev/null
cmake --build build-fuzz -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]/#/fuzz_}"

pids=()
for t in "${targets[@]}"; do
  corpus=build-fuzz/corpus-$t
  mkdir -p "$corpus"
  [ -d "fuzz/corpus/$t" ] && cp -n fuzz/corpus/$t/* "$corpus"/ 2>/dev/null || true
  (cd build-fuzz && ./fuzz_$t -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="crash-$t-" \
      "corpus-$t" >"fuzz-$t.log" 2>&1) &
  pids+=($!)
done
status=0
for i in "${!targets[@]}"; do
  if wait "${pids[$i]}"; then
    echo "fuzz_${targets[$i]}: $(grep -m1 'stat::number_of_executed_units' build-fuzz/fuzz-${targets[$i]}.log | awk '{print $2}') runs, nothing found"
  else
    echo "fuzz_${targets[$i]}: FOUND A PROBLEM"; tail -n 40 "build-fuzz/fuzz-${targets[$i]}.log"; status=1
  fi
done
exit $status
