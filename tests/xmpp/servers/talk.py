#!/usr/bin/python3
"""Plays bob beside JOV.exe for scripts/watch-xmpp.sh, through the independent
client's control line: alice and bob share their presence, bob stays online,
every line typed here goes to alice as bob's message, and alice's messages to
bob are printed. Ends when the program whose process id is given ends.

Usage: talk.py CONTROL_PORT SERVER PID      (SERVER: ejabberd or prosody)
"""
import os
import queue
import socket
import sys
import threading
import time
from urllib.parse import quote, unquote
from xml.sax.saxutils import escape


def main():
    port, server, pid = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
    alice, bob = "alice-" + server, "bob-" + server
    line = socket.create_connection(("127.0.0.1", port)).makefile("rwb")
    answers = queue.Queue()

    def read():
        for raw in line:
            fields = raw.decode().rstrip("\n").split("\t")
            if fields[0] != "stanza":
                answers.put(fields[0])
                continue
            values = dict(pair.split("=", 1) for pair in fields[2:] if "=" in pair)
            body = unquote(values.get("message/body", ""))
            if fields[1] == bob and body and values.get("message@type") != "error":
                print("%s: %s" % (unquote(values.get("message@from", "")), body), flush=True)

    def command(*fields):
        line.write(("\t".join(fields) + "\n").encode())
        line.flush()
        answer = answers.get(timeout=60)
        if answer != "ok":
            sys.exit("the independent client said: %s" % answer)

    threading.Thread(target=read, daemon=True).start()
    command("connect", alice)
    command("connect", bob)
    command("befriend", alice, bob, quote("Bob"), quote("Friends"))
    command("disconnect", alice)
    print("You are bob@localhost, online in alice's list: type a line to send it to her.", flush=True)

    def type_lines():
        for typed in sys.stdin:
            text = "<message to='alice@localhost' type='chat'><body>%s</body></message>" % escape(typed.rstrip("\n"))
            command("send", bob, quote(text, safe=""))

    threading.Thread(target=type_lines, daemon=True).start()
    while True:
        try:
            os.kill(pid, 0)
        except OSError:
            break
        time.sleep(0.5)
    command("disconnect", bob)


if __name__ == "__main__":
    main()
