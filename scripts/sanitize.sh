#!/usr/bin/env bash
# The test suite built with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer (whole headless runs of the demo included), and the
# audio-thread tests built with ThreadSanitizer. Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake --preset asan >/dev/null
cmake --build build-asan -j "$jobs"
# The window test drives X11 and SDL libraries that are not built with the
# sanitizers; it runs in the plain build.
ctest --test-dir build-asan --output-on-failure -j "$jobs" -E '^window\.'
echo "A whole headless run under AddressSanitizer and LeakSanitizer:"
build-asan/tolvarin --headless --data build-asan/data --frame-hashes /dev/null

export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
cmake --preset tsan >/dev/null
cmake --build build-tsan -j "$jobs" --target tolvarin_audio_tests tolvarin_platform_tests
build-tsan/tolvarin_audio_tests --gtest_filter='ModuleAudio*'
build-tsan/tolvarin_platform_tests --gtest_filter='StartMusic*'
