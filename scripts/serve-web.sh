#!/usr/bin/env bash
# make serve-web: build-web/ on http://127.0.0.1:8000/ (PORT=... for another
# port). Any static web server does as well: the page needs no special
# headers.
set -euo pipefail
cd "$(dirname "$0")/.."
web=${TOLVARIN_WEB_BUILD:-build-web}
port=${PORT:-8000}
[ -f "$web/index.html" ] || { echo "make serve-web: $web/index.html not found (make web builds it)" >&2; exit 1; }
echo "Tolvarin: http://127.0.0.1:$port/ (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$web"
