#!/usr/bin/env bash
# The demo in a real window under Xvfb: the title, the picture, a key that
# ends the running scene so that the next one begins, the picture laid out
# again in whole multiples when the window is resized, and closing the
# window, which must end the program with exit code 0 within a second. Then
# the party screen: --loop --fullscreen hides the mouse pointer, shows it
# while the mouse moves and hides it again at rest, and shows it in a window
# after Alt+Enter (hidden again after the next). The screen saver is
# turned off while the window is open and allowed again when it closes.
# TOLVARIN_WINDOW_LOG=1 has the window tell each of these steps on stderr;
# the pointer itself is read from the X server (XFixes) where python3 can.
# Usage: window_test.sh TOLVARIN DATA-DIR X11-CLOSE TOLVARIN-TEST-RUN
set -u
prog=$1 data=$2 closer=$3
export TOLVARIN_TEST_RUN=$4
. "$(dirname "$0")/../support/trace.sh"
. "$(dirname "$0")/../support/window.sh"
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
out=$work/out.txt
fail() {
  echo "FAIL: $*"
  [ -f "$trace" ] && tail -n 20 "$trace"
  [ -f "$out" ] && tail -n 20 "$out"
  exit 1
}

# log_count TEXT: how many lines of the program's output have TEXT.
log_count() { grep -cF -- "$1" "$out"; }
# log_wait SECONDS TEXT [N]: until the output has N lines with TEXT (1).
log_wait() {
  local end=$((SECONDS + $1))
  while [ $SECONDS -le $end ]; do
    [ "$(log_count "$2")" -ge "${3:-1}" ] && return 0
    sleep 0.1
  done
  return 1
}

# pointer_pixels: the visible pixels of the mouse pointer as the X server
# draws it now (0: hidden), or nothing where it cannot be read.
cat >"$work/pointer.py" <<'PY'
import ctypes
x11 = ctypes.CDLL("libX11.so.6")
xfixes = ctypes.CDLL("libXfixes.so.3")
class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong))]
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
image = xfixes.XFixesGetCursorImage(x11.XOpenDisplay(None)).contents
print(sum(1 for i in range(image.width * image.height) if (image.pixels[i] >> 24) & 0xFF))
PY
pointer_pixels() { python3 "$work/pointer.py" 2>/dev/null; }

# Xvfb takes a display number nobody uses and says which once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
disp=":$(head -n 1 "$work/display")"
export DISPLAY=$disp SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

export TOLVARIN_WINDOW_LOG=1
xdotool mousemove 640 512
"$prog" --data "$data" --trace "$trace" >"$out" 2>&1 &
pid=$!
wid=$(timeout 10 xdotool search --sync --name '^Tolvarin, Quarnel, 2000\.$' 2>/dev/null | head -n 1)
[ -n "$wid" ] || fail "no window titled 'Tolvarin, Quarnel, 2000.'"
[ "$(xdotool getwindowname "$wid")" = "Tolvarin, Quarnel, 2000." ] || fail "wrong title"

trace_wait 10 '$5 == "begin" && $6 == first { found = 1 }' -v first="${scenes[0]}" || fail "the demo never started"
sleep 1
window_shows_picture "$wid" "$work/shot.png" || fail "$window_problem"

# In a window the screen saver is off and the pointer is the desktop's.
log_wait 5 "screen saver off" || fail "the screen saver was not turned off"
log_wait 5 "output 960x720, picture 960x720 at 0,0, scale 3" || fail "the 3x window is not laid out at 3x"
[ "$(log_count "pointer hidden")" -eq 0 ] || fail "the pointer was hidden in a window"
pixels=$(pointer_pixels)
[ -z "$pixels" ] || [ "$pixels" -gt 0 ] || fail "no pointer over the window"

# A window resized to 1000x700 shows the picture at 2x, centred on black.
xdotool windowsize "$wid" 1000 700
log_wait 5 "output 1000x700, picture 640x480 at 180,110, scale 2" || fail "no 2x layout in the 1000x700 window"
sleep 0.5
if command -v import >/dev/null; then
  import -window "$wid" "$work/resized.png" || fail "no screenshot of the resized window"
  border=$(convert "$work/resized.png" -crop 180x700+0+0 +repage -format '%k/%[max]' info:)
  inside=$(convert "$work/resized.png" -crop 640x480+180+110 +repage -format '%k' info:)
  echo "resized window: left border colours/maximum $border, picture colours $inside"
  [ "$border" = "1/0" ] || fail "the left border of the resized window is not black ($border)"
  [ "$inside" -ge 16 ] || fail "the picture of the resized window shows only $inside colours"
fi

# A key ends the running scene (and only it): the next one begins.
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key space
why=$(trace_key_ends_scene 5 "${scenes[@]}") || fail "$why"

# close_window WHAT: closing the window ends the program with exit code 0
# within a second, and the screen saver is allowed again.
close_window() {
  local start rc elapsed
  start=$(date +%s%N)
  "$closer" "$wid" || fail "could not send the close request ($1)"
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.01; done
  kill -0 "$pid" 2>/dev/null && fail "still running a second after the window was closed ($1)"
  wait "$pid"
  rc=$?
  pid=
  elapsed=$((($(date +%s%N) - start) / 1000000))
  [ "$rc" -eq 0 ] || fail "exit code $rc after closing the window ($1)"
  trace_check || fail "the trace has lines that are not trace lines ($1)"
  log_wait 1 "screen saver allowed" || fail "the screen saver was not allowed again when the window closed ($1)"
  echo "window closed; exit code 0 after ${elapsed} ms ($1)"
}
close_window "the demo"

# --- A party screen: --loop --fullscreen, nobody at the keyboard -------------
: >"$trace"
: >"$out"
xdotool mousemove 640 512
"$prog" --data "$data" --trace "$trace" --loop --fullscreen >"$out" 2>&1 &
pid=$!
wid=$(timeout 10 xdotool search --sync --name '^Tolvarin, Quarnel, 2000\.$' 2>/dev/null | head -n 1)
[ -n "$wid" ] || fail "no full-screen window"
log_wait 5 "output 1280x1024, picture 1280x960 at 0,32, scale 4" || fail "full screen is not laid out at 4x"
log_wait 5 "pointer hidden" || fail "the pointer is not hidden in full screen"
trace_wait 10 '$5 == "begin" && $6 == first { found = 1 }' -v first="${scenes[0]}" || fail "the demo never started"
pixels=$(pointer_pixels)
echo "full screen: pointer pixels ${pixels:-unknown}"
[ -z "$pixels" ] || [ "$pixels" -eq 0 ] || fail "the X server still draws $pixels pixels of the pointer"

# The mouse moves: the pointer shows; left alone it hides again.
# A hand keeps moving the mouse: motion while the window is still settling
# (its last change under 0.25 s ago, which a busy machine can stretch)
# does not count, so the test moves it on until the pointer shows.
shown=
for step in $(seq 1 20); do
  xdotool mousemove $((700 + step * 4)) 560
  if log_wait 0 "pointer shown"; then shown=1; break; fi
  sleep 0.25
done
[ -n "$shown" ] || fail "the pointer did not show when the mouse moved"
pixels=$(pointer_pixels)
[ -z "$pixels" ] || [ "$pixels" -gt 0 ] || fail "the pointer shown is not drawn"
log_wait 10 "pointer hidden" 2 || fail "the pointer did not hide again at rest"
pixels=$(pointer_pixels)
[ -z "$pixels" ] || [ "$pixels" -eq 0 ] || fail "the pointer at rest is still drawn ($pixels pixels)"
echo "pointer: hidden, shown while the mouse moved, hidden again at rest"

# Alt+Enter: a window with the pointer, and full screen again without. (With
# no window manager on Xvfb the X window keeps its size across Alt+Enter; the
# Windows test, where Wine manages the window, checks the 4x layout there.)
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key alt+Return
log_wait 5 "pointer shown" 2 || fail "no pointer out of full screen"
xdotool key alt+Return
log_wait 5 "pointer hidden" 3 || fail "the pointer shows in full screen again"
echo "Alt+Enter: the pointer in the window, none in full screen"

close_window "the looping demo"
keys=$(trace_events | awk '$5 == "key"' | wc -l)
[ "$keys" -eq 0 ] || fail "$keys key presses in the trace; Alt+Enter is none"
