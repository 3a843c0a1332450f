#!/usr/bin/env bash
# make test-web: the page in build-web/ tested in a real browser: Debian's
# Chromium driven by puppeteer-core (tests/browser/page.test.mjs), the site
# served on 127.0.0.1 by the test itself.
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

start=$SECONDS
status=0
PUPPETEER_CORE=$module ctest --test-dir "$web" -L browser --output-on-failure || status=$?
echo "test-web: $((SECONDS - start)) s"
exit $status
