# The shell tests' way to read a --trace file: through tolvarin-test-run, the
# C++ tests' own reader, never by matching the JSON text. Source this file
# with TOLVARIN_TEST_RUN set to that program and `trace` to the trace file.
#
# trace_events        the events so far, one a line, for awk:
#                     $1 t, $2 frame, $3 order, $4 row, $5 event, $6 scene
#                     (the program may still be writing: an unfinished last
#                     line waits for the next call)
# trace_has PROGRAM [AWK-OPTIONS...]
#                     true when the awk PROGRAM, run over the events, sets found
# trace_wait SECONDS PROGRAM [AWK-OPTIONS...]
#                     until trace_has holds; false when the time is up
# trace_check         true when every line of the finished trace is a trace line
# trace_key_ends_scene SECONDS SCENES...
#                     the first key press arrives, ends the scene it came in,
#                     and the scene after that one in SCENES (the program's
#                     --list-scenes) begins after that end, each within
#                     SECONDS; otherwise says what did not happen, returns 1

trace_events() {
  "$TOLVARIN_TEST_RUN" trace --live "$trace"
}

trace_has() {
  local program=$1
  shift
  trace_events | awk "$@" "$program END { exit !found }"
}

trace_wait() {
  local end=$((SECONDS + $1))
  shift
  while [ $SECONDS -le $end ]; do
    trace_has "$@" && return 0
    sleep 0.1
  done
  return 1
}

trace_check() {
  "$TOLVARIN_TEST_RUN" trace "$trace" >/dev/null
}

trace_key_ends_scene() {
  local seconds=$1 scene next
  shift
  trace_wait "$seconds" '$5 == "key" { found = 1 }' || { echo "the key press did not arrive"; return 1; }
  scene=$(trace_events | awk '$5 == "key" { sub(/\..*/, "", $6); print $6; exit }')
  next=$(printf '%s\n' "$@" | grep -A1 -x -- "$scene" | sed -n 2p)
  [ -n "$next" ] || { echo "the key came in '$scene', which no scene follows"; return 1; }
  trace_wait "$seconds" '$5 == "end" && $6 == s { found = 1 }' -v s="$scene" ||
    { echo "the key did not end $scene"; return 1; }
  trace_wait "$seconds" '$5 == "end" && $6 == s { ended = 1 } ended && $5 == "begin" && $6 == n { found = 1 }' \
    -v s="$scene" -v n="$next" || { echo "$next did not begin after the key ended $scene"; return 1; }
}
