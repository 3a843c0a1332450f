#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# The web build's speed beside the native program's, in one run: every
# kernel and scene benchmark of bench/ natively and under node (Google
# Benchmark compiled for wasm from its Debian source package, the version the
# native build uses), then the whole demo headless. Prints Markdown tables.
#   scripts/bench-web.sh [GOOGLE_BENCHMARK_ARGS...]   e.g. --benchmark_filter=bumpLight
# Needs make web first. Both run on one core (taskset) when it is there.
set -euo pipefail
cd "$(dirname "$0")/.."
deps_name=bench-web deps_uses_sources=1
# shellcheck source=lib/deps.sh
. scripts/lib/deps.sh
native=${TOLVARIN_NATIVE_BUILD:-build}
web=${TOLVARIN_WEB_BUILD:-build-web}
[ -f "$web/CMakeCache.txt" ] || die "no web build in $web (run make web first)"

# Google Benchmark's source, unpacked once into the cache beside libopenmpt's.
deps_installed_version libbenchmark-dev
version=$deps_version
[ -n "$version" ] || die "libbenchmark-dev is not installed (scripts/install-deps.sh installs it)"
upstream=${version#*:}
upstream=${upstream%-*}
fetch_benchmark() (
  deps_stdout_to_stderr
  deps_cache_claim "$deps_cache/web" "benchmark-source-$version"
  deps_source_ready "benchmark=$version"
  deps_source "$deps_work" "benchmark=$version" >"$deps_logs/fetch.log" 2>&1 \
    || die "apt-get source benchmark=$version failed (log: $deps_logs/fetch.log)"
  rmdir "$deps_prefix"
  mv "$deps_work/benchmark-$upstream" "$deps_prefix"
  deps_cache_done
)
source=$(fetch_benchmark) || exit 1  # it has said what failed
cmake "$web" -DTOLVARIN_WEB_BENCHMARK_SOURCE="$source" >/dev/null
cmake --build "$web" --target tolvarin-bench tolvarin tolvarin-page >/dev/null
cmake --build "$native" --target tolvarin-bench tolvarin >/dev/null

pin=()
command -v taskset >/dev/null 2>&1 && pin=(taskset -c 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
args=(--benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_format=json "$@")
echo "bench-web: native benchmarks" >&2
TOLVARIN_DATA_DIR=$native/data "${pin[@]}" "$native/tolvarin-bench" "${args[@]}" >"$work/native.json"
echo "bench-web: the same under node" >&2
TOLVARIN_DATA_DIR=$web/data "${pin[@]}" node "$web/tolvarin-bench.js" "${args[@]}" >"$work/node.json"

# The whole demo headless at 60 fps: wall time, frames, and the demo time
# covered (the length of its sound, plus the two seconds a headless run lasts
# after the music). The page output has no real files: its hashes come
# through stdout, and it covers the same demo time.
whole() {  # whole LABEL COMMAND...
  local label=$1 start end
  shift
  rm -f "$work/frames.txt" "$work/sound.wav"
  start=$(date +%s.%N)
  if [[ $* == *tolvarin-page.js* ]]; then
    "${pin[@]}" "$@" --headless --fps 60 --frame-hashes /dev/stdout >"$work/frames.txt"
    cp "$work/native.wav" "$work/sound.wav"
  else
    "${pin[@]}" "$@" --headless --fps 60 --frame-hashes "$work/frames.txt" --wav "$work/sound.wav" >/dev/null
  fi
  end=$(date +%s.%N)
  [ "$label" = native ] && cp "$work/sound.wav" "$work/native.wav"
  echo "$label|$(grep -vc '^#' "$work/frames.txt")|$(stat -c %s "$work/sound.wav")|$start|$end"
}
echo "bench-web: the whole demo" >&2
{
  whole native "$native/tolvarin" --data "$native/data"
  whole "node, tolvarin.js" node "$web/tolvarin.js"
  TOLVARIN_SIMD=off whole "node, tolvarin.js, TOLVARIN_SIMD=off" node "$web/tolvarin.js"
  # The page output finds its packed data from its own folder.
  cd "$web"
  whole "node, tolvarin-page.js (ASYNCIFY)" node --no-experimental-fetch tolvarin-page.js
  cd - >/dev/null
} >"$work/whole.txt"

python3 - "$work/native.json" "$work/node.json" "$work/whole.txt" <<'EOF'
import json, sys

def medians(path):
    out = {}
    runs = json.load(open(path))["benchmarks"]
    # The medians of repeated runs, or the single runs.
    wanted = "aggregate" if any(b.get("aggregate_name") == "median" for b in runs) else "iteration"
    for b in runs:
        if b["run_type"] != wanted or b.get("aggregate_name", "median") != "median":
            continue
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
        seconds = b["per_frame"] if "per_frame" in b else b["real_time"] * scale
        out[b["run_name"]] = seconds
    return out

def show(seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if seconds >= scale:
            return f"{seconds / scale:.3g} {unit}"
    return f"{seconds * 1e9:.3g} ns"

native, node = medians(sys.argv[1]), medians(sys.argv[2])
print("| benchmark (one frame) | native | node | node ÷ native |")
print("|---|---|---|---|")
for name, t in native.items():
    if name in node:
        print(f"| {name.removeprefix('BM_')} | {show(t)} | {show(node[name])} | {node[name] / t:.2f} |")
print()
print("| whole demo, headless, 60 fps | frames | demo time | wall time | × real time |")
print("|---|---|---|---|---|")
for line in open(sys.argv[3]):
    label, frames, wav, start, end = line.strip().split("|")
    demo = (int(wav) - 44) / 4 / 44100 + 2.0
    wall = float(end) - float(start)
    print(f"| {label} | {frames} | {demo:.1f} s | {wall:.2f} s | {demo / wall:.0f}× |")
EOF
