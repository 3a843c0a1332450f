#!/usr/bin/env bash
# Installs the Debian packages the project needs, but only those missing.
# Uses sudo when not run as root. Safe to run again and again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libsdl2-dev libopenmpt-dev libcli11-dev libpng-dev libfreetype-dev libxxhash-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg imagemagick openmpt123 xmp sox
  xvfb xdotool libx11-dev
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
    echo "install-deps: need root (or sudo) to install: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
