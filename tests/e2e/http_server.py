#!/usr/bin/env python3
"""The stand-in web servers of the end-to-end tests.

One process listens on an address (127.0.0.1:80 inside the test's network
namespace, where the program's host names resolve to loopback) and answers
each request by its Host header with the reply a case configured:

  http_server.py --log FILE --ready FILE [--port 80] HOST=MODE ...

HOST is a host name such as www.baidu.com, or * for every other host. MODE:
  date               200, with a correct Date header (now, RFC 1123, GMT)
  date-near          200, with a Date a clock may be set from under Wine: the
                     whole second nearest to the moment the reply leaves, sent
                     only while at most 0.4 s off (a reply due 0.2 to 0.6 s
                     into a second waits until 0.6 s and carries the next one)
  date-value:VALUE   200, with "Date: VALUE" exactly
  no-date            200, without any Date header
  lower-date         200, the Date header spelt "date:"
  hang               reads the request and never answers (until the case ends)
  garbage            bytes that are not HTTP, then the connection is closed
  close              closes the connection without a byte
  body:FILE          200, with a Date header and the bytes of FILE as body
  raw:FILE           the bytes of FILE as the whole reply, then close
  hang-for:SECONDS   reads the request, answers nothing, closes after SECONDS
  reset              reads the request and resets the connection (TCP RST)
  bad-status         a garbage status line, then a correct Date header
  huge-head:BYTES    200, with BYTES of filler header lines before a correct
                     Date header
  drip:SECONDS       the reply of "date", one byte a second, closed after
                     SECONDS (or once it is all sent)
  switch:FILE        the mode written in FILE, read again for every request:
                     a case changes a server's behaviour while it runs

Every request is appended to the log as one JSON object a line: method, path,
version, host, headers (as a list of [name, value] in the order sent) and the
length of the body. The server writes the ready file once it listens.
"""

import argparse
import email.utils
import json
import socket
import socketserver
import struct
import sys
import threading
import time

log_lock = threading.Lock()


def read_head(connection):
    """Reads up to the blank line; returns (head bytes, bytes after it)."""
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = connection.recv(4096)
        if not chunk:
            break
        data += chunk
        if len(data) > 1 << 20:
            break
    head, _, rest = data.partition(b"\r\n\r\n")
    return head, rest


def parse_head(head):
    lines = head.decode("latin-1").split("\r\n")
    parts = lines[0].split(" ") if lines and lines[0] else []
    headers = []
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers.append([name, value.strip()])
    method = parts[0] if len(parts) > 0 else ""
    path = parts[1] if len(parts) > 1 else ""
    version = parts[2] if len(parts) > 2 else ""
    return method, path, version, headers


def header_value(headers, wanted):
    for name, value in headers:
        if name.lower() == wanted.lower():
            return value
    return ""


def reply(status, headers, body, method):
    head = "HTTP/1.1 %s\r\n" % status
    for name, value in headers:
        head += "%s: %s\r\n" % (name, value)
    head += "Content-Length: %d\r\nConnection: close\r\n\r\n" % len(body)
    return head.encode("latin-1") + (b"" if method == "HEAD" else body)


def now_http_date():
    return email.utils.formatdate(time.time(), usegmt=True)


def near_http_date():
    """The Date of the whole second nearest to now, once it is at most 0.4 s
    off. Wine's SetLocalTime only accepts a time less than 0.5 s from its clock;
    a Date cut to the second is up to a whole second behind, so a clock set
    from the plain date mode fails about half of the time. Here the reply is
    held back at most 0.4 s, and the client has at least 0.3 s to set its
    clock: 0.5 s less up to 0.2 s gone of the second named, or 0.5 s more
    than the at most 0.4 s left before the next second named."""
    now = time.time()
    second = int(now)
    if now - second < 0.2:
        return email.utils.formatdate(second, usegmt=True)
    if now - second < 0.6:
        time.sleep(second + 0.6 - now)
    return email.utils.formatdate(second + 1, usegmt=True)


def switched_mode(path):
    """The mode a switch file names now (never another switch); "close" while
    the file cannot be read."""
    try:
        with open(path, encoding="utf-8") as source:
            mode = source.read().strip()
    except OSError:
        return "close"
    return "close" if mode.startswith("switch:") else mode


def filler_headers(size):
    """Header lines of about size bytes in all, 1000 bytes a line."""
    lines = []
    for number in range(max(1, size // 1000)):
        name = "X-Filler-%d" % number
        lines.append((name, "f" * (1000 - len(name) - 4)))
    return lines


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        connection = self.request
        head, rest = read_head(connection)
        method, path, version, headers = parse_head(head)
        host = header_value(headers, "Host").split(":")[0]
        length = int(header_value(headers, "Content-Length") or 0)
        body = rest
        while len(body) < length:
            chunk = connection.recv(4096)
            if not chunk:
                break
            body += chunk
        with log_lock, open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps({"method": method, "path": path, "version": version, "host": host,
                                  "headers": headers, "body_length": len(body)},
                                 ensure_ascii=False) + "\n")
        mode = self.server.modes.get(host.lower(), self.server.modes.get("*", "date"))
        if mode.startswith("switch:"):
            mode = switched_mode(mode.partition(":")[2])
        kind, _, argument = mode.partition(":")
        page = b"<html>ok</html>"
        if kind == "date":
            connection.sendall(reply("200 OK", [("Date", now_http_date())], page, method))
        elif kind == "date-near":
            connection.sendall(reply("200 OK", [("Date", near_http_date())], page, method))
        elif kind == "date-value":
            connection.sendall(reply("200 OK", [("Date", argument)], page, method))
        elif kind == "no-date":
            connection.sendall(reply("200 OK", [("Server", "e2e")], page, method))
        elif kind == "lower-date":
            connection.sendall(reply("200 OK", [("date", now_http_date())], page, method))
        elif kind == "hang":
            self.server.stopped.wait()
        elif kind == "garbage":
            connection.sendall(b"\x00\xff\xfenot http at all\r\n\x01\x02\r\n\r\n")
        elif kind == "close":
            pass
        elif kind == "body":
            with open(argument, "rb") as source:
                content = source.read()
            connection.sendall(reply("200 OK", [("Date", now_http_date()),
                                                ("Content-Type", "text/html")], content, method))
        elif kind == "raw":
            with open(argument, "rb") as source:
                connection.sendall(source.read())
        elif kind == "hang-for":
            self.server.stopped.wait(float(argument))
        elif kind == "reset":
            # Linger on with a time of 0: close() sends RST instead of FIN.
            connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            connection.close()
        elif kind == "bad-status":
            connection.sendall(b"HTTP/1.1 2x0 \x01\xfe\xff not a status\r\n" +
                               reply("200 OK", [("Date", now_http_date())], b"", method)
                               .partition(b"\r\n")[2])
        elif kind == "huge-head":
            connection.sendall(reply("200 OK", filler_headers(int(argument)) +
                                     [("Date", now_http_date())], page, method))
        elif kind == "drip":
            data = reply("200 OK", [("Date", now_http_date())], page, method)
            deadline = time.monotonic() + float(argument)
            for byte in data:
                if time.monotonic() >= deadline or self.server.stopped.is_set():
                    break
                connection.sendall(bytes([byte]))
                self.server.stopped.wait(1)
        else:
            connection.sendall(reply("500 Unknown Mode", [], b"", method))


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=80)
    parser.add_argument("--log", required=True)
    parser.add_argument("--ready", required=True)
    parser.add_argument("replies", nargs="*", help="HOST=MODE")
    options = parser.parse_args()
    modes = {}
    for item in options.replies:
        host, _, mode = item.partition("=")
        modes[host.lower()] = mode
    server = Server((options.address, options.port), Handler)
    server.log_path = options.log
    server.modes = modes
    server.stopped = threading.Event()
    open(options.log, "a").close()
    with open(options.ready, "w") as ready:
        ready.write("%s:%d\n" % server.server_address)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.stopped.set()
    return 0


if __name__ == "__main__":
    sys.exit(main())
