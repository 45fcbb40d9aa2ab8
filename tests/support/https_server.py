#!/usr/bin/env python3
"""A small HTTPS server on 127.0.0.1 for the catalogue client's tests.

Serves the files under --root. Query parameters shape the answer:
  delay=MS   wait before answering
  status=N   answer with that HTTP status and no body
  stall=1    send the headers and a few bytes of a large body, then hold
             the connection open until the client goes away
Prints the port it listens on as its first line.
"""
import argparse
import http.server
import os
import ssl
import sys
import time
import urllib.parse


class Handler(http.server.BaseHTTPRequestHandler):
    root = "."

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        parts = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(parts.query)
        if "delay" in query:
            time.sleep(int(query["delay"][0]) / 1000.0)
        if "status" in query:
            self.send_response(int(query["status"][0]))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if "stall" in query:
            self.send_response(200)
            self.send_header("Content-Length", str(64 * 1024 * 1024))
            self.end_headers()
            try:
                self.wfile.write(b"x" * 1024)
                self.wfile.flush()
                for _ in range(300):
                    time.sleep(0.1)
                    self.wfile.write(b"x")
                    self.wfile.flush()
            except OSError:
                pass
            return
        name = urllib.parse.unquote(parts.path).lstrip("/")
        path = os.path.realpath(os.path.join(self.root, name))
        if not path.startswith(os.path.realpath(self.root) + os.sep) or not os.path.isfile(path):
            self.send_response(404)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        with open(path, "rb") as f:
            body = f.read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--root", required=True)
    args = parser.parse_args()

    Handler.root = args.root
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
