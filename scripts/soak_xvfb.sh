# Sourced by the soak scripts: an Xvfb display of 1280x1024 for the run, and
# the clean-up of what the run started. Set work (a folder) first; then
#   soak_start_xvfb      starts it, exports DISPLAY once it is ready
#   soak_also_stop PID   adds a process to stop when the script ends
soak_pids=()
soak_cleanup() {
  # Only what still runs as this script's job: an ended one's number may
  # belong to someone else by now.
  local live pid
  live=" $(jobs -p | tr '\n' ' ') "
  for pid in "${soak_pids[@]}"; do
    [[ $live == *" $pid "* ]] && kill "$pid" 2>/dev/null
  done
  true
}
trap soak_cleanup EXIT
soak_also_stop() { soak_pids=("$1" "${soak_pids[@]}"); }

soak_start_xvfb() {
  # Xvfb takes a display number nobody uses and says which once it is ready.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  soak_also_stop $!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n 1 "$work/display")"
}
