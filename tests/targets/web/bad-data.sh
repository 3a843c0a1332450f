#!/usr/bin/env bash
# Every data file damaged in turn (missing, cut in half, noise): the
# web build must end with the native program's exit code and print the same
# messages, having read the damaged file through node's file system.
#   bad-data.sh DATA NATIVE K/N -- WEB_COMMAND...
# K/N: every N-th file from the K-th on (ctest runs the N shares side by side).
# The whole demo runs at 4 fps: the frames do not matter here, only that
# every scene, and so every use of a file, comes.
set -uo pipefail
data=$1 native=$2 share=${3%/*} shares=${3#*/}
shift 4
web=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

run() {  # run SIDE DIR: exit code to SIDE.code, stderr to SIDE.err
  local side=$1 dir=$2 cmd
  if [ "$side" = native ]; then cmd=("$native"); else cmd=("${web[@]}"); fi
  timeout 300 "${cmd[@]}" --headless --fps 4 --data "$dir" >/dev/null 2>"$work/$side.err"
  echo $? >"$work/$side.code"
}

index=0
for original in "$data"/*; do
  index=$((index + 1))
  [ $(((index - 1) % shares + 1)) -eq "$share" ] || continue
  name=${original##*/}
  dir=$work/data
  for variant in missing "cut in half" noise; do
    rm -rf "$dir"
    cp -r "$data" "$dir"
    size=$(stat -c %s "$original")
    case $variant in
      missing) rm "$dir/$name" ;;
      "cut in half") head -c $((size / 2)) "$original" >"$dir/$name" ;;
      # Compressed data looks random and is the same on every run.
      noise) for _ in 1 2 3 4 5 6 7 8; do gzip -cn1 "$original"; done | head -c "$size" >"$dir/$name" ;;
    esac
    run native "$dir" &
    run web "$dir"
    wait
    if ! cmp -s "$work/native.code" "$work/web.code"; then
      echo "FAIL: $name, $variant: exit code $(cat "$work/web.code"), native $(cat "$work/native.code")"
      failures=$((failures + 1))
    fi
    if ! diff -u "$work/native.err" "$work/web.err" >"$work/diff"; then
      echo "FAIL: $name, $variant: the messages differ"
      head -n 12 "$work/diff"
      failures=$((failures + 1))
    fi
  done
done
[ "$failures" -eq 0 ] && echo "the web build treats damaged data as the native program does"
exit $((failures > 0))
