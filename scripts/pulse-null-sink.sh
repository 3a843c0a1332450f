#!/usr/bin/env bash
# A PulseAudio server playing into a null sink, for browsers on a machine
# without a sound card (Firefox and WebKit start no audio clock without a
# sound server; Chromium's headless audio needs none). Runs as root too.
#
#   scripts/pulse-null-sink.sh start DIR   starts it with its socket and log
#                                          in DIR; prints the PULSE_SERVER
#                                          value that reaches it
#   scripts/pulse-null-sink.sh stop DIR    stops the server started in DIR
#
# Packages: pulseaudio, pulseaudio-utils (scripts/test-web.sh installs them).
set -euo pipefail
die() {
  echo "pulse-null-sink: $*" >&2
  exit 1
}
[ $# -eq 2 ] || die "usage: $0 start|stop DIR"
action=$1
dir=$2
case $action in
start)
  command -v pulseaudio >/dev/null 2>&1 || die "pulseaudio not found (Debian package pulseaudio)"
  command -v pactl >/dev/null 2>&1 || die "pactl not found (Debian package pulseaudio-utils)"
  mkdir -p "$dir"
  chmod 700 "$dir"
  dir=$(cd "$dir" && pwd)
  # Its own runtime folder and home: nothing of the user's session is
  # touched, and clients reach it by its socket alone (no cookie).
  XDG_RUNTIME_DIR=$dir HOME=$dir pulseaudio -D --exit-idle-time=-1 -n --use-pid-file=yes \
    --log-target="file:$dir/pulse.log" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" \
    --load="module-null-sink sink_name=null" --load=module-always-sink ||
    die "pulseaudio did not start (log: $dir/pulse.log)"
  for _ in $(seq 100); do
    PULSE_SERVER=unix:$dir/native pactl info >/dev/null 2>&1 && {
      echo "unix:$dir/native"
      exit 0
    }
    sleep 0.1
  done
  die "pulseaudio did not answer on $dir/native (log: $dir/pulse.log)"
  ;;
stop)
  [ -d "$dir" ] || exit 0
  XDG_RUNTIME_DIR=$dir HOME=$dir pulseaudio --kill >/dev/null 2>&1 || true
  ;;
*)
  die "usage: $0 start|stop DIR"
  ;;
esac
