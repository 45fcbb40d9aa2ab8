#!/usr/bin/env python3
"""A small HTTPS server on 127.0.0.1 for the catalogue client's tests.

Serves the files under --root. Query parameters shape the answer:
  delay=MS   wait before answering
  status=N   answer with that HTTP status and no body
  stall=1    send the headers and a few bytes of a large body, then hold
             the connection open until the client goes away
  silent=1   send the headers and two parts of the body 300 ms apart, then
             nothing at all until the client goes away (a server that hangs
             mid-body)
  short=1    declare the whole length, send part of the body and close the
             connection
A file NAME.query beside a served file adds its content (such as
"status=500") to the query of every request for NAME, so that fixed
addresses can misbehave too.
Prints the port it listens on as its first line.
"""
import argparse
import http.server
import os
import select
import ssl
import sys
import time
import urllib.parse


class Handler(http.server.BaseHTTPRequestHandler):
    root = "."

    def log_message(self, format, *args):
        pass

    def local_path(self, url_path):
        name = urllib.parse.unquote(url_path).lstrip("/")
        path = os.path.realpath(os.path.join(self.root, name))
        if not path.startswith(os.path.realpath(self.root) + os.sep):
            return None
        return path

    def wait_for_client_to_leave(self, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            readable, _, _ = select.select([self.connection], [], [], 0.2)
            if readable:
                try:
                    if not self.connection.recv(1):
                        return
                except (OSError, ValueError):
                    return

    def do_GET(self):
        parts = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(parts.query)
        path = self.local_path(parts.path)
        if path and os.path.isfile(path + ".query"):
            with open(path + ".query") as f:
                query.update(urllib.parse.parse_qs(f.read().strip()))
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
        if "silent" in query or "short" in query:
            self.send_response(200)
            self.send_header("Content-Length", str(64 * 1024))
            self.end_headers()
            try:
                self.wfile.write(b"x" * 1024)
                self.wfile.flush()
                if "silent" in query:
                    # A second part later on: the client reports progress
                    # at most every 100 ms.
                    time.sleep(0.3)
                    self.wfile.write(b"x" * 1024)
                    self.wfile.flush()
                    self.wait_for_client_to_leave(120)
            except OSError:
                pass
            self.close_connection = True
            return
        if not path or not os.path.isfile(path):
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
