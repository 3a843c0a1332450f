#!/bin/sh
# Remakes the scene contact sheets of this folder from headless frames of a
# build: make-sheets.sh BUILD_DIR (e.g. build). Needs ImageMagick's montage
# and convert and the DejaVu fonts. The times follow the build's module: check
# them against `tolvarin --headless --trace FILE` when the music changes.
set -eu
build=${1:?usage: make-sheets.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# sheet NAME "TITLE" TILE_GEOMETRY TIME...
sheet() {
  name=$1 title=$2 geometry=$3
  shift 3
  shots=""
  for t in "$@"; do
    shots="$shots --shot $t:$work/$name-$t.png"
  done
  # shellcheck disable=SC2086
  "$build/tolvarin" --headless --data "$build/data" $shots >/dev/null
  args=""
  for t in "$@"; do args="$args -label ${t}s $work/$name-$t.png"; done
  # shellcheck disable=SC2086
  montage -font "$font" -title "$title" -background '#202020' -fill '#d0d0d0' -pointsize 13 \
    $args -tile 4x -geometry "$geometry" "$work/$name.png"
  convert "$work/$name.png" +dither -colors 192 "PNG8:$here/$name.png"
}

big=224x168+3+3
sheet logo-zoom "LogoZoom: fade-in fly-in, zoom in and out, cross-fade, final x3" $big \
  0.3 0.9 1.2 1.5 4.0 7.55 7.7 7.84 8.2 9.0 9.6 10.49
sheet light-sweep "LightSweep (last: the mode 7 final frame)" $big \
  10.6 11.2 11.8 12.5 13.2 13.9 14.5 15.017
sheet crossfade-sweep "CrossfadeSweep (last: the mode 7 final frame)" $big \
  15.1 15.4 15.7 16.0 16.5 17.5 19.0 22.517
sheet rotozoom-strobe "RotozoomStrobe: zoom, strobe from order 13, final frame" $big \
  23 27 31 35 39 43 45.05 45.15 45.25 45.33 47.63 52.6
sheet story-text "StoryText: dialogue over the colour cycle, then the credits" $big \
  54.6 55.5 57.0 58.3 59.5 62.0 68.0 69.5 72.0 76.0 81.0 89.9
sheet prototype-text "PrototypeText: the panning figure under the light" $big \
  105.1 105.6 106.3 107.0 107.8 108.5 109.5 110.3 111.0 111.6 112.0 112.4
sheet greetings "Greetings: fading greetings over the tunnel, then the tunnel alone" 200x150+3+3 \
  112.55 113.3 115.0 116.2 120.0 122.0 125.6 131.1
sheet credits-fade-in "CreditsFadeIn, drawn by the demo sequence (the closing picture)" $big \
  131.3 132.0 133.0 134.0 134.8 135.44
