#!/usr/bin/env bash
# run-test-exe.sh WINE EXE [ARGS...]: one cross-built test executable under
# Wine. Now and then Wine itself fails to start a process while another Wine
# process is starting or a server is going away: it then exits at once
# without the program having written a line. Such a run is tried again (up
# to twice); any run in which the program got to speak counts as it is.
set -uo pipefail
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for attempt in 1 2 3; do
  "$@" >"$out" 2>&1
  code=$?
  if [ "$code" -eq 0 ] || [ -s "$out" ] || [ "$attempt" -eq 3 ]; then
    cat "$out"
    exit "$code"
  fi
  echo "run-test-exe: Wine exited with code $code before the program wrote anything; trying again" >&2
  sleep 1
done
