#!/usr/bin/env python3
"""A stand-in HTTP proxy for the version check.

Answers a GET of http://<any host>/versions/corvalo.htm with the body given on
the command line; with --hold FIFO, the first answer waits until the test has
opened and closed the other end of that fifo.
Writes its port to --port-file, then each request line to --log.
"""
import argparse
import os
import socketserver


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        request_line = self.rfile.readline(65536).decode("latin-1")
        while self.rfile.readline(65536) not in (b"\r\n", b"\n", b""):
            pass
        with open(self.server.args.log, "a", encoding="latin-1") as log:
            log.write(request_line)
        if self.server.args.hold and not self.server.released:
            with open(self.server.args.hold, "rb") as fifo:
                fifo.read()  # returns once the test has closed its end
            self.server.released = True
        parts = request_line.split()
        if len(parts) == 3 and parts[0] == "GET" and parts[1].startswith("http://") \
                and parts[1].endswith("/versions/corvalo.htm"):
            body = self.server.args.body.encode("latin-1")
            head = b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n"
        else:
            body = b"not here\r\n"
            head = b"HTTP/1.0 404 Not Found\r\n"
        head += b"Content-Length: %d\r\n\r\n" % len(body)
        self.wfile.write(head + body)


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--body", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--hold", default="")
    args = parser.parse_args()
    with Server(("127.0.0.1", 0), Handler) as server:
        server.args = args
        server.released = False
        tmp = args.port_file + ".tmp"
        with open(tmp, "w", encoding="ascii") as f:
            f.write(str(server.server_address[1]))
        os.replace(tmp, args.port_file)
        server.serve_forever()


if __name__ == "__main__":
    main()
