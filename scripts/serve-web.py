#!/usr/bin/env python3
"""Serves a folder (the web build, build/web) over HTTP on 127.0.0.1 only, on a
port that is free now (chosen by the system when the server binds), until
Ctrl+C or SIGTERM.

    serve-web.py FOLDER [URL_FILE]

The first line on standard output is the page's address, http://127.0.0.1:PORT/;
with URL_FILE the address is also written there (for scripts that start the
server in the background). Nothing is cached, so a rebuilt page is what a reload
shows. Requests are not logged; errors are.
"""
import functools
import http.server
import os
import signal
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".js": "text/javascript",
        ".html": "text/html; charset=utf-8",
    }

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_request(self, code="-", size="-"):
        if isinstance(code, int) and code >= 400:
            super().log_request(code, size)


def stop(*_):
    """SIGTERM ends the server as Ctrl+C does, through the same clean path."""
    raise KeyboardInterrupt


def main():
    if len(sys.argv) not in (2, 3) or not os.path.isdir(sys.argv[1]):
        print("usage: serve-web.py FOLDER [URL_FILE]", file=sys.stderr)
        return 2
    handler = functools.partial(Handler, directory=sys.argv[1])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    url = "http://127.0.0.1:%d/" % server.server_address[1]
    if len(sys.argv) == 3:
        with open(sys.argv[2] + ".part", "w") as f:
            f.write(url + "\n")
        os.replace(sys.argv[2] + ".part", sys.argv[2])
    print(url, flush=True)
    signal.signal(signal.SIGTERM, stop)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
