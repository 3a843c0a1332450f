#!/usr/bin/env bash
# The demo in a real window under Xvfb: the title, the picture, a key that
# ends the running scene, and closing the window, which must end the program
# with exit code 0 within a second.
# Usage: window_test.sh TOLVARIN DATA-DIR X11-CLOSE
set -u
prog=$1 data=$2 closer=$3
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
fail() { echo "FAIL: $*"; [ -f "$work/trace.jsonl" ] && tail -n 20 "$work/trace.jsonl"; exit 1; }

# A display number nobody uses.
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then disp=":$n"; break; fi
done
Xvfb "$disp" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$disp SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# wait_for PATTERN SECONDS: until the trace holds a line matching PATTERN.
wait_for() {
  local end=$((SECONDS + $2))
  while [ $SECONDS -le $end ]; do
    grep -q -- "$1" "$work/trace.jsonl" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

"$prog" --data "$data" --trace "$work/trace.jsonl" >"$work/out.txt" 2>&1 &
pid=$!
wid=$(timeout 10 xdotool search --sync --name '^Tolvarin, Quarnel, 2000\.$' 2>/dev/null | head -n 1)
[ -n "$wid" ] || fail "no window titled 'Tolvarin, Quarnel, 2000.'"
[ "$(xdotool getwindowname "$wid")" = "Tolvarin, Quarnel, 2000." ] || fail "wrong title"

wait_for '"event":"begin","scene":"LogoZoom"' 10 || fail "the demo never started"
sleep 1
if command -v import >/dev/null; then
  import -window "$wid" "$work/shot.png" || fail "no screenshot of the window"
  colours=$(convert "$work/shot.png" -format '%k' info:)
  echo "window shows $colours colours"
  # The opening scene is on screen: the moving light over the logo, not a blank window.
  [ "$colours" -ge 16 ] || fail "the window shows only $colours colours"
fi

# A key ends the running scene (and only it).
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key space
wait_for '"event":"key"' 5 || fail "the key press did not arrive"
keyline=$(grep -m1 '"event":"key"' "$work/trace.jsonl")
scene=$(sed -E 's/.*"scene":"([^".]*).*/\1/' <<<"$keyline")
wait_for "\"event\":\"end\",\"scene\":\"$scene\"}" 3 || fail "the key did not end $scene"
wait_for '"event":"begin"' 3 || fail "no scene followed"

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
echo "window closed; exit code 0 after ${elapsed} ms"
