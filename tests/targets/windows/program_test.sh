#!/usr/bin/env bash
# tolvarin.exe end to end under Wine, headless, one case per run:
#   program_test.sh CASE TOLVARIN.EXE DATA-DIR [MORE...]      (the Wine environment set)
# help            --help lists the options and README.txt explains every one (MORE: README.txt)
# bad-option      an unknown option: the usage and exit code 2
# missing-picture the demo runs on without it: exit 0
# missing-mesh    the first mesh missing ends the program at once, silently, with 0
# missing-module  "Can't load music" on stderr and exit code 1
# no-ffmpeg       --record without ffmpeg.exe on the PATH: one line naming ffmpeg, a failing exit code, no files left
# record          --record with a stand-in ffmpeg.exe on the PATH (MORE: its folder): both encoders
#                 get every frame and the sound, the parts are put together, the temporaries removed;
#                 the output's name, which no single legacy code page holds, reaches ffmpeg intact
# shot            --shot gives the same PNG as the native program (MORE: the native program)
# unicode-paths   data and output files in folders whose names no single legacy code page holds
#                 (the manifest makes the program's code page UTF-8) (MORE: the native build folder,
#                 for its scene list and trace reader)
set -u
case=$1 prog=$2 data=$3
shift 3
wine=${TOLVARIN_WINE:-wine}
work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
fail() {
  echo "FAIL ($case): $*"
  for f in "$work/out.txt" "$work/err.txt"; do [ -s "$f" ] && { echo "--- $(basename "$f")"; tail -n 20 "$f"; }; done
  exit 1
}

# run ARGS...: the program with its output in out.txt and err.txt; exit code in rc.
run() {
  "$wine" "$prog" "$@" >"$work/out.txt" 2>"$work/err.txt"
  rc=$?
}

# A copy of the data without one file.
data_without() {
  mkdir -p "$work/data"
  cp "$data"/* "$work/data/"
  rm "$work/data/$1"
}

case $case in
help)
  readme=$1
  run --help
  [ "$rc" -eq 0 ] || fail "--help ended with $rc"
  grep -q -- '--headless' "$work/out.txt" || fail "--help did not list the options on stdout"
  for option in $(grep -oE -- '--[a-z][a-z-]+' "$work/out.txt" | sort -u); do
    grep -q -- "$option" "$readme" || fail "README.txt does not explain $option"
  done
  ;;
bad-option)
  run --no-such-option
  [ "$rc" -eq 2 ] || fail "an unknown option ended with $rc, not 2"
  grep -q -- 'no-such-option' "$work/err.txt" || fail "the error does not name the option"
  ;;
missing-picture)
  data_without quarnel.g
  run --headless --data "$work/data" --until 12
  [ "$rc" -eq 0 ] || fail "exit code $rc without quarnel.g"
  ;;
missing-mesh)
  data_without qx.d
  run --headless --data "$work/data" --until 92
  [ "$rc" -eq 0 ] || fail "exit code $rc without qx.d"
  [ -s "$work/err.txt" ] && fail "not silent"
  ;;
missing-module)
  data_without 004fin.s3m
  run --headless --data "$work/data" --until 30
  [ "$rc" -eq 1 ] || fail "exit code $rc without the module, not 1"
  grep -q "Can't load music" "$work/err.txt" || fail "no 'Can't load music' message"
  ;;
no-ffmpeg)
  WINEPATH= run --headless --data "$data" --until 2 --record "$work/demo.mp4"
  [ "$rc" -ne 0 ] || fail "exit code 0 without ffmpeg"
  [ "$(wc -l <"$work/err.txt")" -eq 1 ] || fail "not one line of explanation"
  grep -q ffmpeg "$work/err.txt" || fail "the message does not name ffmpeg"
  cat "$work/err.txt"
  leftovers=$(ls "$work" | grep demo)
  [ -z "$leftovers" ] || fail "files left behind: $leftovers"
  ;;
record)
  tools=$1
  folder="$work/with space ä шрифт"
  name="демо €.mkv"
  mkdir "$folder"
  out="$folder/$name"
  # WINEPATH goes in front of Wine's PATH.
  WINEPATH="$(winepath -w "$tools" 2>/dev/null)" run --headless --data "$data" --fps 30 --until 2 --record "$out"
  [ "$rc" -eq 0 ] || fail "recording ended with $rc"
  [ -f "$out" ] || fail "no $out"
  cat "$out"
  video=$(grep -m1 'pipe .* -f rawvideo' "$out" | cut -d' ' -f2)
  sound=$(grep -m1 'pipe .* -f s16le' "$out" | cut -d' ' -f2)
  [ -n "$video" ] && [ -n "$sound" ] || fail "the encoders' reports are not in the output"
  # Whole 320x240 bgr0 frames and 16-bit stereo frames; about two seconds of
  # each (the run ends a little after --until), ending within a frame of each other.
  [ $((video % 307200)) -eq 0 ] && [ $((sound % 4)) -eq 0 ] || fail "torn frames: video $video, sound $sound bytes"
  frames=$((video / 307200)) samples=$((sound / 4))
  echo "video: $frames frames; sound: $samples samples"
  [ "$frames" -ge 61 ] && [ "$frames" -le 75 ] || fail "$frames video frames for two seconds at 30 fps"
  [ $(((frames - 1) * 44100 / 30)) -le "$samples" ] && [ "$samples" -lt $(((frames + 1) * 44100 / 30)) ] \
    || fail "$samples samples of sound do not end with the video's $frames frames"
  grep -q -- "-c:v ffv1" "$out" || fail "the .mkv was not encoded losslessly"
  # The stand-in writes the arguments it was given as UTF-8.
  grep -qF "шрифт/$name.video.mkv" "$out" || grep -qF "шрифт\\$name.video.mkv" "$out" ||
    fail "the video went to another file than $name.video.mkv"
  grep -qF "$name.sound.flac" "$out" || fail "the sound went to another file than $name.sound.flac"
  leftovers=$(ls "$folder")
  [ "$leftovers" = "$name" ] || fail "files left behind: $leftovers"
  ;;
shot)
  native=$1
  run --headless --data "$data" --until 6 --shot "5.5:$work/windows.png"
  [ "$rc" -eq 0 ] || fail "--shot ended with $rc"
  [ "$(head -c 8 "$work/windows.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "not a PNG"
  if [ -x "$native" ]; then
    "$native" --headless --data "$data" --until 6 --shot "5.5:$work/native.png" || fail "the native program failed"
    cmp "$work/windows.png" "$work/native.png" || fail "the PNG differs from the native program's"
  else
    echo "no native program at $native: compared with nothing"
  fi
  ;;
unicode-paths)
  dir="$work/dätа-шрифт €"
  mkdir -p "$dir"
  cp "$data"/* "$dir/"
  run --headless --data "$dir" --until 3 --frame-hashes "$dir/кадры.txt" --wav "$dir/музыка ä.wav" \
    --trace "$dir/трасса.jsonl" --shot "2:$dir/снимок.png"
  [ "$rc" -eq 0 ] || fail "exit code $rc"
  [ -s "$work/err.txt" ] && fail "messages: $(cat "$work/err.txt")"
  for f in кадры.txt "музыка ä.wav" трасса.jsonl снимок.png; do
    [ -s "$dir/$f" ] || fail "no $f"
  done
  native_build=$1
  export TOLVARIN_TEST_RUN=$native_build/tolvarin-test-run
  . "$(dirname "$0")/../../support/trace.sh"
  trace="$dir/трасса.jsonl"
  trace_check || fail "the trace has lines that are not trace lines"
  trace_has '$5 == "begin" && $6 == first { found = 1 }' -v first="$("$native_build/tolvarin" --list-scenes | head -n 1)" ||
    fail "the demo did not run from the data in $dir"
  ;;
*)
  echo "unknown case $case" >&2
  exit 2
  ;;
esac
echo "ok ($case)"
