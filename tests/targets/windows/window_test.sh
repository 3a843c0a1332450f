#!/usr/bin/env bash
# tolvarin.exe in a real window under Wine on a virtual X display: the title,
# a scene on screen, a key that ends the running scene, Alt+Enter switching
# to full screen (the picture at 4x, the mouse pointer hidden) and back (3x,
# the pointer shown), the screen saver off while the window is open and
# allowed again when it closes, Alt+F4 (Windows' own close) ending the program
# with exit code 0, the music through SDL's Windows audio (WASAPI, on Wine's
# ALSA driver with ALSA's null device) with its syncs at the music's pace;
# with no sound device at all the silent stand-in, announced once, keeping
# the syncs coming; and a missing module shown in a Windows message box that
# ends the program with code 1.
# Usage: window_test.sh TOLVARIN.EXE DATA-DIR NATIVE-BUILD     (the Wine environment set)
# (NATIVE-BUILD: the native build folder, for the scene list and the trace reader)
set -u
prog=$1 data=$2 native_build=$3
export TOLVARIN_TEST_RUN=$native_build/tolvarin-test-run
. "$(dirname "$0")/../../support/trace.sh"
. "$(dirname "$0")/../../support/window.sh"
mapfile -t scenes < <("$native_build/tolvarin" --list-scenes)
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
wine=${TOLVARIN_WINE:-wine}

if [ "${4:-}" != --inside ]; then
  # A Wine session started without a display (by the headless tests) would
  # keep its windows off screen: wait until no session of this prefix is left,
  # so the one started here has the display.
  wineserver -w
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$prog" "$data" "$native_build" --inside
fi

work=$(mktemp -d)
trace=$work/trace.jsonl
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$trace" ] && tail -n 20 "$trace"
  [ -f "$work/err.txt" ] && grep -v '^ALSA lib' "$work/err.txt" | tail -n 20
  exit 1
}

# wait_exit SECONDS: until the program has ended; its exit code in rc.
wait_exit() {
  local end=$((SECONDS + $1))
  while [ $SECONDS -le $end ] && kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && return 1
  wait "$pid"
  rc=$?
  pid=
  return 0
}

# sound_device on|off: one sound device (ALSA's null output through Wine's
# ALSA driver), or none at all (Wine's sound drivers off), whatever the
# machine has.
overrides=${WINEDLLOVERRIDES:-}
sound_device() {
  if [ "$1" = on ]; then
    printf 'pcm.!default { type null }\nctl.!default { type null }\n' >"$work/asound.conf"
    export ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$work/asound.conf
    export WINEDLLOVERRIDES="${overrides:+$overrides;}winepulse.drv,wineoss.drv="
  else
    unset ALSA_CONFIG_PATH
    export WINEDLLOVERRIDES="${overrides:+$overrides;}winealsa.drv,winepulse.drv,wineoss.drv="
  fi
}

# sync_time ROW: the demo time of the first sync traced at that row of order 0.
sync_time() {
  trace_events | awk -v row="$1" '$3 == 0 && $4 == row && $5 == "sync" { print $1; exit }'
}

# The marker rows 0 and 32 are 3.75 s of music apart. The syncs come when the
# rows are heard, so never much sooner after each other than that; a slow
# machine can only make the second one later.
check_sync_pace() {
  trace_wait 30 '$3 == 0 && $4 == 32 && $5 == "sync" { found = 1 }' || fail "no sync at row 32 ($1)"
  local t0 t32
  t0=$(sync_time 0) t32=$(sync_time 32)
  echo "syncs at rows 0 and 32: $t0 s and $t32 s ($1)"
  awk -v a="$t0" -v b="$t32" 'BEGIN { exit !(b - a >= 3.0 && b - a <= 10.0) }' \
    || fail "rows 0 and 32 heard $t0 s and $t32 s: not at the music's pace ($1)"
}

# --- The demo in its window, with sound ---------------------------------------
# log_wait SECONDS TEXT: until the window has told TEXT on stderr
# (TOLVARIN_WINDOW_LOG=1); log_count TEXT: how often it has.
log_wait() {
  local end=$((SECONDS + $1))
  while [ $SECONDS -le $end ]; do grep -qF -- "$2" "$work/err.txt" && return 0; sleep 0.1; done
  return 1
}
log_count() { grep -cF -- "$1" "$work/err.txt"; }

sound_device on
TOLVARIN_WINDOW_LOG=1 "$wine" "$prog" --data "$data" --trace "$trace" >"$work/out.txt" 2>"$work/err.txt" &
pid=$!
wid=$(timeout 60 xdotool search --sync --name '^Tolvarin, Quarnel, 2000\.$' 2>/dev/null | head -n 1)
[ -n "$wid" ] || fail "no window titled 'Tolvarin, Quarnel, 2000.'"
[ "$(xdotool getwindowname "$wid")" = "Tolvarin, Quarnel, 2000." ] || fail "wrong title"
eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "window $WIDTH x $HEIGHT"
[ "$WIDTH" -eq 960 ] && [ "$HEIGHT" -eq 720 ] || fail "the window is $WIDTH x $HEIGHT, not 3 x 320 x 240"

trace_wait 30 '$5 == "begin" && $6 == first { found = 1 }' -v first="${scenes[0]}" || fail "the demo never started"
sleep 1
window_shows_picture "$wid" "$work/shot.png" || fail "$window_problem"

# A key ends the running scene (and only it): the next one begins.
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key space
why=$(trace_key_ends_scene 10 "${scenes[@]}") || fail "$why"

# Alt+Enter: full screen (the whole 1280x1024 screen) and back, no key press.
size() { eval "$(xdotool getwindowgeometry --shell "$wid")"; echo "${WIDTH}x$HEIGHT"; }
wait_size() {
  local end=$((SECONDS + 10))
  while [ $SECONDS -le $end ]; do [ "$(size)" = "$1" ] && return 0; sleep 0.1; done
  return 1
}
log_wait 10 "screen saver off" || fail "the screen saver was not turned off"
[ "$(log_count "pointer hidden")" -eq 0 ] || fail "the pointer was hidden in a window"
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key alt+Return
wait_size 1280x1024 || fail "Alt+Enter did not fill the screen: $(size)"
log_wait 10 "picture 1280x960 at 0,32, scale 4" || fail "full screen is not laid out at 4x"
log_wait 10 "pointer hidden" || fail "the pointer is not hidden in full screen"
xdotool key alt+Return
wait_size 960x720 || fail "the second Alt+Enter did not bring the window back: $(size)"
log_wait 10 "pointer shown" || fail "the pointer is not shown again in the window"
echo "Alt+Enter: full screen (4x, no pointer) and back"

# The music plays through the device, its syncs as heard.
check_sync_pace "WASAPI"
grep -q 'no audio device' "$work/err.txt" && fail "the sound device was not used: $(grep 'no audio device' "$work/err.txt")"

# Alt+F4 closes the window the Windows way; the program ends with code 0.
xdotool windowfocus --sync "$wid" 2>/dev/null
start=$(date +%s%N)
xdotool key alt+F4
wait_exit 15 || fail "still running 15 s after Alt+F4"
elapsed=$((($(date +%s%N) - start) / 1000000))
[ "$rc" -eq 0 ] || fail "exit code $rc after closing the window"
echo "window closed; exit code 0 after ${elapsed} ms"
log_wait 1 "screen saver allowed" || fail "the screen saver was not allowed again when the window closed"
trace_check || fail "the trace has lines that are not trace lines"
keys=$(trace_events | awk '$5 == "key"' | wc -l)
[ "$keys" -eq 1 ] || fail "$keys key presses in the trace; Alt+Enter and Alt+F4 are none for the scene"

# --- No sound device: the silent stand-in, said once ----------------------------
sound_device off
: >"$trace"
"$wine" "$prog" --data "$data" --trace "$trace" --until 9 >"$work/out.txt" 2>"$work/err.txt" &
pid=$!
check_sync_pace "silent stand-in"
wait_exit 30 || fail "still running after --until 9"
[ "$rc" -eq 0 ] || fail "exit code $rc without a sound device"
said=$(grep -c 'no audio device.*the music plays silently' "$work/err.txt")
[ "$said" -eq 1 ] || fail "the silent stand-in was announced $said times, not once"
grep 'no audio device' "$work/err.txt"

# --- A missing module: a Windows message box --------------------------------
mkdir "$work/data"
cp "$data"/* "$work/data/"
rm "$work/data/004fin.s3m"
: >"$trace"
"$wine" "$prog" --data "$work/data" >"$work/out.txt" 2>"$work/err.txt" &
pid=$!
box=$(timeout 60 xdotool search --sync --name '^Error$' 2>/dev/null | head -n 1)
[ -n "$box" ] || fail "no message box titled 'Error'"
echo "message box: $(xdotool getwindowname "$box")"
grep -q "Can't load music" "$work/err.txt" && fail "the message went to stderr instead of the box"
xdotool windowfocus --sync "$box" 2>/dev/null
xdotool key Return
wait_exit 15 || fail "still running 15 s after the message box was answered"
[ "$rc" -eq 1 ] || fail "exit code $rc after the missing module, not 1"
echo "message box answered; exit code 1"
