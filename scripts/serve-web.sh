#!/usr/bin/env bash
# make serve-web: build-web/site/ (the site to host) on http://127.0.0.1:8000/
# (PORT=... for another port). It sends a file's precompressed copy (.br or
# .gz beside it, which make web writes) to a browser that accepts it, as a
# host's server would. Any static web server serves the folder as well: the
# page needs no special headers.
set -euo pipefail
cd "$(dirname "$0")/.."
site=${TOLVARIN_WEB_BUILD:-build-web}/site
port=${PORT:-8000}
[ -f "$site/index.html" ] || { echo "make serve-web: $site/index.html not found (make web builds it)" >&2; exit 1; }
echo "Tolvarin: http://127.0.0.1:$port/ (Ctrl+C stops the server)"
exec python3 - "$site" "$port" <<'PY'
import http.server, os, sys

site, port = sys.argv[1], int(sys.argv[2])

class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json',
                      '.js': 'text/javascript', '.data': 'application/octet-stream'}

    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=site, **kwargs)

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, 'index.html')
        accepted = [e.strip().split(';')[0] for e in self.headers.get('Accept-Encoding', '').split(',')]
        for encoding, suffix in (('br', '.br'), ('gzip', '.gz')):
            if encoding in accepted and os.path.isfile(path + suffix):
                with open(path + suffix, 'rb') as f:
                    body = f.read()
                self.send_response(200)
                self.send_header('Content-Type', self.guess_type(path))
                self.send_header('Content-Encoding', encoding)
                self.send_header('Content-Length', str(len(body)))
                self.send_header('Vary', 'Accept-Encoding')
                self.end_headers()
                return _Body(body)
        return super().send_head()

class _Body:
    def __init__(self, data):
        self.data = data
    def read(self, *args):
        data, self.data = self.data, b''
        return data
    def close(self):
        pass

http.server.ThreadingHTTPServer(('127.0.0.1', port), Handler).serve_forever()
PY
