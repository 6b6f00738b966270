#!/usr/bin/env python3
# Records what a local XMPP server sends one client in a short session, from
# the stream that follows the login on: its header, features, the answers to
# the client's requests, a subscription request, presence and messages from a
# second user. The parser's tests and the benchmark read the recording.
#   record_stream.py HOST PORT DOMAIN OUTPUT [CA-FILE]   (users alice and bob,
#   passwords from the test servers' set-up; with CA-FILE, TLS from the first byte)
import base64
import socket
import ssl
import sys
import time

host, port, domain, output = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
authority = sys.argv[5] if len(sys.argv) > 5 else None
HEADER = ("<?xml version='1.0'?><stream:stream to='%s' xmlns='jabber:client' "
          "xmlns:stream='http://etherx.jabber.org/streams' version='1.0'>" % domain)


class Client:
    def __init__(self, user, password):
        self.sock = socket.create_connection((host, port))
        if authority:
            context = ssl.create_default_context(cafile=authority)
            self.sock = context.wrap_socket(self.sock, server_hostname=domain)
        self.sock.settimeout(0.3)
        self.received = b""
        self.send(HEADER)
        self.wait_for(b"</stream:features>")
        plain = base64.b64encode(b"\0" + user.encode() + b"\0" + password.encode()).decode()
        self.send("<auth xmlns='urn:ietf:params:xml:ns:xmpp-sasl' mechanism='PLAIN'>%s</auth>" % plain)
        self.wait_for(b"<success")
        self.received = b""  # the recording starts with the restarted stream
        self.send(HEADER)
        self.wait_for(b"</stream:features>")
        self.send("<iq type='set' id='jov_1'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'>"
                  "<resource>pda</resource></bind></iq>")
        self.wait_for(b"id='jov_1'")

    def send(self, text):
        self.sock.sendall(text.encode())

    def drain(self, seconds=0.5):
        end = time.time() + seconds
        while time.time() < end:
            try:
                chunk = self.sock.recv(65536)
                if not chunk:
                    break
                self.received += chunk
            except (socket.timeout, ssl.SSLWantReadError):
                pass

    def wait_for(self, marker, seconds=5):
        end = time.time() + seconds
        while marker not in self.received and time.time() < end:
            self.drain(0.1)
        if marker not in self.received:
            sys.exit("no %r from the server" % marker)


alice = Client("alice", "alice-pw1")
bob = Client("bob", "bob-pw2")
alice.send("<iq type='get' id='jov_2'><query xmlns='jabber:iq:roster'/></iq>")
alice.send("<presence><priority>0</priority></presence>")
alice.send("<iq type='get' id='jov_3' to='%s'><query xmlns='http://jabber.org/protocol/disco#info'/></iq>"
           % domain)
alice.send("<iq type='get' id='jov_4'><vCard xmlns='vcard-temp'/></iq>")
bob.send("<presence><priority>0</priority><show>chat</show><status>Here &amp; now</status></presence>")
bob.send("<presence to='alice@%s' type='subscribe'/>" % domain)
to = "alice@%s/pda" % domain
for i, body in enumerate(["Hello", "Привет, как дела?", "Ahoj, jak se máš? Žluťoučký kůň",
                          "&lt;b&gt; &amp; &apos;quoted&apos; &quot;twice&quot;", "two\nlines\n  indented",
                          "\U0001F600 outside the basic plane"]):
    bob.send("<message to='%s' type='chat' id='m%d'><body>%s</body>"
             "<request xmlns='urn:xmpp:receipts'/><active xmlns='http://jabber.org/protocol/chatstates'/>"
             "</message>" % (to, i, body))
bob.send("<message to='%s' type='chat'><composing xmlns='http://jabber.org/protocol/chatstates'/></message>" % to)
bob.send("<iq type='get' id='v1' to='%s'><query xmlns='jabber:iq:version'/></iq>" % to)
alice.drain(1.5)
with open(output, "wb") as out:
    out.write(alice.received)
print("%d bytes from the server" % len(alice.received))
