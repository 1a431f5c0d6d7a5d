#!/usr/bin/env python3
"""Serves the built page on localhost: web/serve.py SITE_DIR [PORT] (default 8080).

The page is cross-origin isolated (Cross-Origin-Opener-Policy: same-origin,
Cross-Origin-Embedder-Policy: require-corp), so that it may share memory with its worker: the
Abort button reaches the running import through a SharedArrayBuffer. Any static server that sends
these two headers (and application/wasm for .wasm) serves the page as well."""
import functools
import http.server
import sys


class IsolatedHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".js": "text/javascript"}

    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()


def main():
    site = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 8080
    handler = functools.partial(IsolatedHandler, directory=site)
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        print(f"web: serving {site} on http://127.0.0.1:{port}/ (Ctrl-C stops)", flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
