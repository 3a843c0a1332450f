#!/usr/bin/env bash
# make test-web: the page in build-web/ tested in real browsers: Debian's
# Chromium driven by puppeteer-core (tests/browser/page.test.mjs and
# chromium.test.mjs), Firefox ESR and WebKitGTK (firefox.test.mjs,
# webkit.test.mjs), the site served on 127.0.0.1 by the tests themselves.
#   - chromium is installed from Debian (--no-install-recommends) when missing;
#   - puppeteer-core, at the pinned version, is installed with npm once into
#     a cache folder outside the clone:
#       ${TOLVARIN_CACHE:-~/.cache/tolvarin}/web/npm-puppeteer-core-<version>
# The page's screenshots go to build-web/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
die() {
  echo "make test-web: $*" >&2
  exit 1
}
version=25.16.0
web=${TOLVARIN_WEB_BUILD:-build-web}
native=${TOLVARIN_NATIVE_BUILD:-build}
for f in index.html page.js tolvarin-page.js tolvarin-page.wasm tolvarin-page.data; do
  [ -f "$web/$f" ] || die "$web/$f not found (make web builds it)"
done
[ -x "$native/tolvarin" ] || die "$native/tolvarin not found (make web builds it)"

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ ! -x /usr/bin/chromium ]; then
  echo "test-web: installing chromium" >&2
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update >/dev/null
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 \
    install -y --no-install-recommends chromium >/dev/null || die "could not install chromium"
fi
command -v node >/dev/null 2>&1 || die "node not found (scripts/deps-web.sh installs it)"
if ! command -v npm >/dev/null 2>&1; then
  echo "test-web: installing npm" >&2
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 \
    install -y --no-install-recommends npm >/dev/null || die "could not install npm"
fi

home=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
cache=${TOLVARIN_CACHE:-$home/.cache/tolvarin}/web/npm-puppeteer-core-$version
module=$cache/node_modules/puppeteer-core
if [ ! -f "$module/package.json" ]; then
  echo "test-web: installing puppeteer-core $version into $cache" >&2
  mkdir -p "$cache"
  # Never a browser download: puppeteer-core has none, and Debian's chromium is used.
  (cd "$cache" && PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund --loglevel=error \
    --no-save "puppeteer-core@$version" >&2) || die "npm could not install puppeteer-core $version"
fi

# More engines: Firefox ESR (puppeteer-core), WebKitGTK's MiniBrowser
# (selenium-webdriver, pinned, cached as puppeteer-core is) under xvfb-run,
# and a PulseAudio null sink they play into (scripts/pulse-null-sink.sh),
# stopped when this script ends. A missing engine is an error, not a skip.
selenium_version=4.35.0
engine_packages=()
for need in firefox-esr:/usr/bin/firefox-esr webkit2gtk-driver:/usr/bin/WebKitWebDriver \
  pulseaudio:/usr/bin/pulseaudio pulseaudio-utils:/usr/bin/pactl xvfb:/usr/bin/xvfb-run; do
  [ -x "${need#*:}" ] || engine_packages+=("${need%%:*}")
done
if [ ${#engine_packages[@]} -gt 0 ]; then
  echo "test-web: installing ${engine_packages[*]}" >&2
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update >/dev/null
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 \
    install -y --no-install-recommends "${engine_packages[@]}" >/dev/null ||
    die "could not install ${engine_packages[*]}"
fi
selenium=${TOLVARIN_CACHE:-$home/.cache/tolvarin}/web/npm-selenium-webdriver-$selenium_version
if [ ! -f "$selenium/node_modules/selenium-webdriver/package.json" ]; then
  echo "test-web: installing selenium-webdriver $selenium_version into $selenium" >&2
  mkdir -p "$selenium"
  (cd "$selenium" && npm install --no-audit --no-fund --loglevel=error --no-save \
    "selenium-webdriver@$selenium_version" >&2) || die "npm could not install selenium-webdriver $selenium_version"
fi
export SELENIUM_WEBDRIVER=$selenium/node_modules/selenium-webdriver
pulse=$(mktemp -d "${TMPDIR:-/tmp}/tolvarin-pulse.XXXXXX")
trap 'scripts/pulse-null-sink.sh stop "$pulse"; rm -rf "$pulse"' EXIT
PULSE_SERVER=$(scripts/pulse-null-sink.sh start "$pulse") || die "the PulseAudio null sink did not start"
export PULSE_SERVER XDG_RUNTIME_DIR=$pulse

start=$SECONDS
status=0
PUPPETEER_CORE=$module ctest --test-dir "$web" -L browser --output-on-failure || status=$?
echo "test-web: $((SECONDS - start)) s"
exit $status
