#!/usr/bin/env python3
"""Loopback peers for the socket tests: each listener has one behaviour.

Usage: line_peer.py CERT KEY MODE:PORT[:tls[:PREFIX]] ...
  a TLS listener shows CERT, or PREFIX.crt (key PREFIX.key) when named
  echo     sends back every byte it receives
  greet    sends "hello\n" at once, then echoes
  closer   sends "bye\n" and closes (a TLS closer sends close_notify first)
  flood    sends 20000 bytes (i % 251) at once, then echoes
  silent   accepts and never answers
  sni      sends the TLS server name the client sent (or "-") and a newline, then echoes
  hold     keeps the port bound and never listens, so that connecting is refused
Every port is bound before any is served: the peer exits at once when one is taken.
"""
import socket
import ssl
import sys
import threading


def serve(conn, mode):
    try:
        if mode == "silent":
            while conn.recv(4096):
                pass
            return
        if mode == "closer":
            conn.sendall(b"bye\n")
            if isinstance(conn, ssl.SSLSocket):
                conn = conn.unwrap()
            return
        if mode == "greet":
            conn.sendall(b"hello\n")
        if mode == "sni":
            conn.sendall((getattr(conn, "sni", None) or "-").encode() + b"\n")
        if mode == "flood":
            conn.sendall(bytes(i % 251 for i in range(20000)))
        while True:
            data = conn.recv(65536)
            if not data:
                return
            conn.sendall(data)
    except (OSError, ssl.SSLError):
        pass
    finally:
        try:
            conn.close()
        except OSError:
            pass


def bound(port, reuse):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    # A held port is bound without reuse: nobody else may bind it, even with reuse.
    if reuse:
        server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    try:
        server.bind(("127.0.0.1", port))
    except OSError as error:
        sys.exit("cannot bind port %d: %s" % (port, error))
    return server


def listen(server, mode, context):
    server.listen(16)
    while True:
        conn, _ = server.accept()
        threading.Thread(target=accept_one, args=(conn, mode, context), daemon=True).start()


def accept_one(conn, mode, context):
    if context is not None:
        try:
            conn.settimeout(10)
            conn = context.wrap_socket(conn, server_side=True)
            conn.settimeout(None)
        except (OSError, ssl.SSLError):
            conn.close()
            return
    serve(conn, mode)


def remember_server_name(conn, name, context):
    conn.sni = name


def main():
    cert, key = sys.argv[1], sys.argv[2]
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    context.sni_callback = remember_server_name
    listeners = []
    for listener in sys.argv[3:]:
        fields = listener.split(":")
        mode, port = fields[0], int(fields[1])
        tls = context if len(fields) > 2 and fields[2] == "tls" else None
        if tls is not None and len(fields) > 3:
            tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            tls.load_cert_chain(fields[3] + ".crt", fields[3] + ".key")
        listeners.append((bound(port, mode != "hold"), mode, tls))
    threads = []
    for server, mode, tls in listeners:
        if mode == "hold":
            continue
        t = threading.Thread(target=listen, args=(server, mode, tls), daemon=True)
        t.start()
        threads.append(t)
    for t in threads:
        t.join()
    threading.Event().wait()


if __name__ == "__main__":
    main()
