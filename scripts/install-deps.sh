#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# Installs the Debian packages the project needs, but only those missing.
# Uses sudo when not run as root. Safe to run again and again; apt's output
# goes to ${TOLVARIN_CACHE:-~/.cache/tolvarin}/apt.log.
set -euo pipefail

deps_name=install-deps
# shellcheck source=lib/deps.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/deps.sh"

deps_apt_install \
  build-essential cmake ninja-build pkg-config git \
  libsdl2-dev libopenmpt-dev libcli11-dev libpng-dev libfreetype-dev libxxhash-dev fonts-dejavu-core \
  libgtest-dev libgmock-dev libbenchmark-dev \
  ffmpeg imagemagick openmpt123 xmp sox \
  xvfb xdotool libx11-dev \
  clang libclang-rt-14-dev
