#!/usr/bin/env python3
"""Update servers for the new-version check, one per kind of answer, on
127.0.0.1 and free ports. Writes "name=port" lines to the file given, once
every server listens."""
import http.server
import os
import socket
import sys
import threading
import time

ANSWERS = {
    "build2019": (200, b"2019"),
    "build2020": (200, b"2020\n"),
    "build2021": (200, b"2021"),
    "empty": (200, b""),
    "text": (200, b"latest build: 2030"),
    "notfound": (404, b"2099 Not Found: no such page"),
    "long": (200, b"9" * 100000),
}


def handler_for(name):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def do_GET(self):
            if name == "agent":
                # What the client asked with, for the test to read.
                with open(os.path.join(os.path.dirname(OUT), "agent.txt"), "w") as f:
                    f.write("%s\n%s\n" % (self.headers.get("User-Agent", ""), self.path))
                status, body = 200, b"0"
            elif name == "slow2021":
                time.sleep(4)
                status, body = 200, b"2021"
            else:
                status, body = ANSWERS[name]
            self.send_response(status)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, fmt, *args):
            sys.stderr.write("%s: %s\n" % (name, fmt % args))

    return Handler


def mute(listener):
    """Takes connections and never answers."""
    held = []
    while True:
        conn, _ = listener.accept()
        held.append(conn)


OUT = sys.argv[1] if len(sys.argv) > 1 else ""


def main():
    out = OUT
    lines = []
    for name in list(ANSWERS) + ["agent", "slow2021"]:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler_for(name))
        server.daemon_threads = True
        threading.Thread(target=server.serve_forever, daemon=True).start()
        lines.append("%s=%d" % (name, server.server_address[1]))
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    threading.Thread(target=mute, args=(listener,), daemon=True).start()
    lines.append("mute=%d" % listener.getsockname()[1])
    with open(out + ".part", "w") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(out + ".part", out)
    threading.Event().wait()


if __name__ == "__main__":
    main()
