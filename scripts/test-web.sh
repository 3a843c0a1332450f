#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# make test-web: the page in build-web/ tested in real browsers: the CTest
# tests labelled "browser": Debian's Chromium driven by puppeteer-core
# (page.test.mjs, chromium.test.mjs), Firefox ESR (puppeteer-core) and
# WebKitGTK's MiniBrowser (selenium-webdriver, under xvfb-run), the site
# served on 127.0.0.1 by the tests themselves.
#   - chromium, node and npm are installed from Debian when missing, and so
#     are firefox-esr, webkit2gtk-driver, pulseaudio and xvfb: a missing
#     engine is an error, not a skip;
#   - puppeteer-core, at the pinned version, is installed with npm once into
#     a cache folder outside the clone, and named to the tests in
#     PUPPETEER_CORE:
#       ${TOLVARIN_CACHE:-~/.cache/tolvarin}/web/puppeteer-core-<version>
# make web-test runs the other tests of build-web/ (under node).
#   Arguments go to ctest (scripts/test-web.sh -R firefox: one engine).
set -euo pipefail
cd "$(dirname "$0")/.."

deps_name='make test-web'
# shellcheck source=lib/deps.sh
. scripts/lib/deps.sh

version=25.16.0
web=${TOLVARIN_WEB_BUILD:-build-web}
native=${TOLVARIN_NATIVE_BUILD:-build}
for f in CTestTestfile.cmake site/index.html site/page.js site/tolvarin-page.js site/tolvarin-page.wasm site/tolvarin-page.data; do
  [ -f "$web/$f" ] || die "$web/$f not found (make web builds it)"
done
[ -x "$native/tolvarin" ] || die "$native/tolvarin not found (make web builds it)"

# By command, not by package: a node from elsewhere may bring its own npm
# (and conflict with Debian's).
packages=()
[ -x /usr/bin/chromium ] || packages+=(chromium)
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)
[ ${#packages[@]} -eq 0 ] || deps_apt_install "${packages[@]}"

# puppeteer-core into its cache folder, once; a second run meanwhile waits.
# Never a browser download: puppeteer-core has none, and Debian's chromium is used.
install_puppeteer() (
  deps_stdout_to_stderr
  deps_cache_claim "$deps_cache/web" "puppeteer-core-$version"
  say "installing puppeteer-core $version into $deps_prefix"
  cd "$deps_prefix"
  PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund --loglevel=error \
    --no-save "puppeteer-core@$version" >"$deps_logs/npm.log" 2>&1 \
    || die "npm could not install puppeteer-core $version (log: $deps_logs/npm.log)"
  deps_cache_done
)
cached=$(install_puppeteer) || exit 1  # it has said what failed
PUPPETEER_CORE=$cached/node_modules/puppeteer-core
[ -f "$PUPPETEER_CORE/package.json" ] || die "puppeteer-core not found in $PUPPETEER_CORE"
export PUPPETEER_CORE

# More engines, and a PulseAudio null sink Firefox and WebKit play into
# (scripts/pulse-null-sink.sh), stopped when this script ends.
selenium_version=4.35.0
engine_packages=()
for need in firefox-esr:/usr/bin/firefox-esr webkit2gtk-driver:/usr/bin/WebKitWebDriver \
  pulseaudio:/usr/bin/pulseaudio pulseaudio-utils:/usr/bin/pactl xvfb:/usr/bin/xvfb-run; do
  [ -x "${need#*:}" ] || engine_packages+=("${need%%:*}")
done
[ ${#engine_packages[@]} -eq 0 ] || deps_apt_install "${engine_packages[@]}"

# selenium-webdriver (pinned: later versions need a newer node) into its cache folder, once.
install_selenium() (
  deps_stdout_to_stderr
  deps_cache_claim "$deps_cache/web" "selenium-webdriver-$selenium_version"
  say "installing selenium-webdriver $selenium_version into $deps_prefix"
  cd "$deps_prefix"
  npm install --no-audit --no-fund --loglevel=error --no-save "selenium-webdriver@$selenium_version" \
    >"$deps_logs/npm-selenium.log" 2>&1 \
    || die "npm could not install selenium-webdriver $selenium_version (log: $deps_logs/npm-selenium.log)"
  deps_cache_done
)
cached=$(install_selenium) || exit 1
SELENIUM_WEBDRIVER=$cached/node_modules/selenium-webdriver
[ -f "$SELENIUM_WEBDRIVER/package.json" ] || die "selenium-webdriver not found in $SELENIUM_WEBDRIVER"
export SELENIUM_WEBDRIVER

pulse=$(mktemp -d "${TMPDIR:-/tmp}/tolvarin-pulse.XXXXXX")
trap 'scripts/pulse-null-sink.sh stop "$pulse"; rm -rf "$pulse"' EXIT
PULSE_SERVER=$(scripts/pulse-null-sink.sh start "$pulse") || die "the PulseAudio null sink did not start"
export PULSE_SERVER XDG_RUNTIME_DIR=$pulse

# With no test labelled "browser", ctest -L browser would pass having run nothing.
count=$(ctest --test-dir "$web" -N -L browser | sed -n 's/^Total Tests: *//p')
[ "${count:-0}" -gt 0 ] || die "no browser test registered in $web (ctest -N -L browser)"

start=$SECONDS
status=0
ctest --test-dir "$web" -L browser --output-on-failure "$@" || status=$?
echo "test-web: $((SECONDS - start)) s" >&2
exit $status
