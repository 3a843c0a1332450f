#!/usr/bin/env bash
# The demo in a real window under Xvfb: the title, the picture, a key that
# ends the running scene so that the next one begins, and closing the window,
# which must end the program with exit code 0 within a second.
# Usage: window_test.sh TOLVARIN DATA-DIR X11-CLOSE TOLVARIN-TEST-RUN
set -u
prog=$1 data=$2 closer=$3
export TOLVARIN_TEST_RUN=$4
. "$(dirname "$0")/../support/trace.sh"
mapfile -t scenes < <("$prog" --list-scenes)
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "SKIP: Xvfb or xdotool is not installed"
  exit 77
fi
work=$(mktemp -d)
xvfb=
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  [ -n "${KEEP:-}" ] || rm -rf "$work"; echo "work: $work"
}
trap cleanup EXIT
trace=$work/trace.jsonl
fail() { echo "FAIL: $*"; [ -f "$trace" ] && tail -n 20 "$trace"; exit 1; }

# A display number nobody uses.
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then disp=":$n"; break; fi
done
Xvfb "$disp" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$disp SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

"$prog" --data "$data" --trace "$trace" >"$work/out.txt" 2>&1 &
pid=$!
wid=$(timeout 10 xdotool search --sync --name '^Tolvarin, Quarnel, 2000\.$' 2>/dev/null | head -n 1)
[ -n "$wid" ] || fail "no window titled 'Tolvarin, Quarnel, 2000.'"
[ "$(xdotool getwindowname "$wid")" = "Tolvarin, Quarnel, 2000." ] || fail "wrong title"

trace_wait 10 '$5 == "begin" && $6 == first { found = 1 }' -v first="${scenes[0]}" || fail "the demo never started"
sleep 1
if command -v import >/dev/null; then
  import -window "$wid" "$work/shot.png" || fail "no screenshot of the window"
  colours=$(convert "$work/shot.png" -format '%k' info:)
  echo "window shows $colours colours"
  # The opening scene is on screen: the moving light over the logo, not a blank window.
  [ "$colours" -ge 16 ] || fail "the window shows only $colours colours"
fi

# A key ends the running scene (and only it): the next one begins.
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key space
why=$(trace_key_ends_scene 5 "${scenes[@]}") || fail "$why"

# Closing the window ends the program with exit code 0 within a second.
start=$(date +%s%N)
"$closer" "$wid" || fail "could not send the close request"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.01; done
kill -0 "$pid" 2>/dev/null && fail "still running a second after the window was closed"
wait "$pid"
rc=$?
pid=
elapsed=$((($(date +%s%N) - start) / 1000000))
[ "$rc" -eq 0 ] || fail "exit code $rc after closing the window"
trace_check || fail "the trace has lines that are not trace lines"
echo "window closed; exit code 0 after ${elapsed} ms"
