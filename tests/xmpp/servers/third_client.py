#!/usr/bin/python3
"""An independent XMPP client for the plug-in's tests, driven over a loopback
control line. It logs in only when told, sends what it is given as it is, and
reports every stanza it receives.

Usage: third_client.py CONTROL_PORT CA_FILE NAME=JID:PASSWORD:PORT ...
  each NAME is a session: JID (a resource may be given) with PASSWORD on the
  direct-TLS PORT of 127.0.0.1, trusting only CA_FILE.

The control line: one command a line, fields separated by tabs, free text
%-encoded (urllib.parse.quote). Answers start with "ok" or "error":
  connect NAME [caps]    logs in afresh (no presence sent), answers when the session is up;
                         with "caps", the session runs slixmpp's service discovery and entity
                         capabilities (XEP-0030, XEP-0115), which check each announced hash
  caps NAME JID          waits until the session has checked the capabilities JID announced,
                         answers "ok identity=C/T/L/N ... feature=F ..." (%-encoded values)
  disconnect NAME        ends the session
  send NAME XML          sends the stanza as it is
  iq NAME XML            sends the iq and answers "ok FLAT" with the answer
  roster NAME            answers "ok ITEM ITEM ...", each jid|name|subscription|group,group
  befriend NAME OTHER ALIAS GROUP
                         the two users share their presence both ways, NAME's roster
                         naming OTHER's user ALIAS in GROUP; NAME stays available
                         below its user's other resources, OTHER becomes available
Every stanza a session receives is reported as "stanza NAME FLAT", FLAT being
tab-separated path=value pairs: "message@from=..." for an attribute,
"message/body=..." for an element's text, "message/{urn:xmpp:receipts}received@id=..."
below it; the client's own namespace is left out.
"""
import asyncio
import logging
import sys
from urllib.parse import quote, unquote
from xml.sax.saxutils import quoteattr, escape
import xml.etree.ElementTree as ET

import slixmpp
from slixmpp.xmlstream.handler import Callback
from slixmpp.xmlstream.matcher import MatchXPath

CLIENT_NS = "{jabber:client}"


def flatten(element):
    pairs = []

    def walk(node, path):
        for name, value in node.attrib.items():
            pairs.append("%s@%s=%s" % (path, name, quote(value, safe="")))
        pairs.append("%s=%s" % (path, quote(node.text or "", safe="")))
        for child in node:
            walk(child, path + "/" + child.tag.replace(CLIENT_NS, ""))

    walk(element, element.tag.replace(CLIENT_NS, ""))
    return "\t".join(pairs)


class Session:
    def __init__(self, name, jid, password, port, ca_file, report):
        self.name = name
        self.port = port
        self.ca_file = ca_file
        self.report = report
        self.jid = jid
        self.password = password
        self.client = None

    async def connect(self, caps=False):
        # A session left by an earlier test starts afresh.
        await self.disconnect()
        client = slixmpp.ClientXMPP(self.jid, self.password)
        client.ca_certs = self.ca_file
        if caps:
            # A presence's caps are taken only once the disco#info answer hashes to its "ver".
            client.register_plugin("xep_0030")
            client.register_plugin("xep_0115")
        # The tests answer requests themselves.
        client.auto_authorize = None
        client.auto_subscribe = False
        for tag in ("message", "presence", "iq"):
            client.register_handler(Callback("report " + tag, MatchXPath(CLIENT_NS + tag),
                                             lambda stanza: self.report(self.name, flatten(stanza.xml))))
        started = asyncio.get_running_loop().create_future()

        def on_start(_):
            if not started.done():
                started.set_result("ok")

        def on_failure(_):
            if not started.done():
                started.set_result("error login failed")

        client.add_event_handler("session_start", on_start)
        client.add_event_handler("failed_all_auth", on_failure)
        client.add_event_handler("connection_failed", on_failure)
        client.connect(("127.0.0.1", self.port), use_ssl=True, disable_starttls=True)
        self.client = client
        try:
            answer = await asyncio.wait_for(started, 20)
        except asyncio.TimeoutError:
            answer = "error timeout"
        if answer != "ok":
            await self.disconnect()
        return answer

    async def disconnect(self):
        client, self.client = self.client, None
        if client is None:
            return "ok"
        ended = asyncio.get_running_loop().create_future()
        client.add_event_handler("disconnected", lambda _: ended.done() or ended.set_result(True))
        client.disconnect(wait=2.0)
        try:
            await asyncio.wait_for(ended, 10)
        except asyncio.TimeoutError:
            client.abort()
        return "ok"

    def send(self, text):
        if self.client is None:
            return "error not connected"
        self.client.send_raw(text)
        return "ok"

    async def iq(self, text):
        if self.client is None:
            return "error not connected"
        element = ET.fromstring(text)
        if element.tag == "iq" and not element.tag.startswith("{"):
            element.tag = CLIENT_NS + "iq"
        iq = self.client.Iq(xml=element)
        if not iq["id"]:
            iq["id"] = self.client.new_id()
        try:
            answer = await iq.send(timeout=10)
        except slixmpp.exceptions.IqError as error:
            answer = error.iq
        except slixmpp.exceptions.IqTimeout:
            return "error timeout"
        return "ok " + flatten(answer.xml)

    async def roster(self):
        if self.client is None:
            return "error not connected"
        iq = self.client.Iq()
        iq["type"] = "get"
        ET.SubElement(iq.xml, "{jabber:iq:roster}query")
        # Behind thousands of roster sets the answer may take a while.
        answer = await iq.send(timeout=30)
        items = []
        for item in answer.xml.iter("{jabber:iq:roster}item"):
            groups = [group.text or "" for group in item.iter("{jabber:iq:roster}group")]
            fields = [quote(item.get("jid", ""), safe=""), quote(item.get("name", ""), safe=""),
                      quote(item.get("subscription", "none"), safe=""),
                      ",".join(quote(group, safe="") for group in groups)]
            items.append("|".join(fields))
        return " ".join(["ok"] + items)


    async def caps(self, jid):
        if self.client is None or "xep_0115" not in self.client.plugin:
            return "error no caps in this session"
        for _ in range(150):
            info = await self.client["xep_0115"].get_caps(jid=slixmpp.JID(jid))
            if info is not None:
                fields = ["identity=" + quote("/".join(part or "" for part in identity), safe="")
                          for identity in info["identities"]]
                fields += ["feature=" + quote(feature, safe="") for feature in info["features"]]
                return "ok " + "\t".join(fields)
            await asyncio.sleep(0.1)
        return "error no checked caps of " + quote(jid, safe="")

    def expect_subscribe(self, sender):
        """A future that ends when `sender` asks this session's user for its presence."""
        arrived = asyncio.get_running_loop().create_future()

        def on_subscribe(presence):
            if presence["from"].bare == sender and not arrived.done():
                arrived.set_result(True)

        self.client.add_event_handler("presence_subscribe", on_subscribe)
        arrived.add_done_callback(lambda _: self.client and
                                  self.client.del_event_handler("presence_subscribe", on_subscribe))
        return arrived

    async def befriend(self, other, alias, group):
        if self.client is None or other.client is None:
            return "error not connected"
        me, them = self.client.boundjid.bare, other.client.boundjid.bare
        self.client.send_raw("<presence><priority>-1</priority></presence>")
        other.client.send_raw("<presence/>")
        answer = await self.iq("<iq type='set'><query xmlns='jabber:iq:roster'><item jid=%s name=%s><group>%s"
                               "</group></item></query></iq>" % (quoteattr(them), quoteattr(alias), escape(group)))
        if not answer.startswith("ok"):
            return answer
        asked_there, asked_here = other.expect_subscribe(me), self.expect_subscribe(them)
        self.client.send_raw("<presence to=%s type='subscribe'/>" % quoteattr(them))
        await asyncio.wait_for(asked_there, 10)
        other.client.send_raw("<presence to=%s type='subscribed'/>" % quoteattr(me))
        other.client.send_raw("<presence to=%s type='subscribe'/>" % quoteattr(me))
        await asyncio.wait_for(asked_here, 10)
        self.client.send_raw("<presence to=%s type='subscribed'/>" % quoteattr(them))
        for _ in range(100):
            if ("|".join([quote(them, safe=""), quote(alias, safe=""), "both"])) in await self.roster():
                return "ok"
            await asyncio.sleep(0.1)
        return "error the subscription did not become mutual"


class Control:
    def __init__(self, sessions):
        self.sessions = sessions
        self.writer = None

    def report(self, name, flat):
        if self.writer is not None and not self.writer.is_closing():
            self.writer.write(("stanza\t%s\t%s\n" % (name, flat)).encode())

    async def serve(self, reader, writer):
        # One test program at a time: a new line replaces the old one.
        self.writer = writer
        try:
            while True:
                line = await reader.readline()
                if not line:
                    break
                fields = line.decode().rstrip("\r\n").split("\t")
                try:
                    answer = await self.run(fields)
                except Exception as error:  # the line stays up whatever a command does
                    answer = "error " + quote(repr(error), safe="")
                writer.write((answer.replace("\n", " ") + "\n").encode())
                await writer.drain()
        finally:
            if self.writer is writer:
                self.writer = None
            writer.close()

    async def run(self, fields):
        command, name = fields[0], fields[1] if len(fields) > 1 else ""
        session = self.sessions.get(name)
        if session is None:
            return "error no session " + name
        if command == "connect":
            return await session.connect(len(fields) > 2 and fields[2] == "caps")
        if command == "caps":
            return await session.caps(unquote(fields[2]))
        if command == "disconnect":
            return await session.disconnect()
        if command == "send":
            return session.send(unquote(fields[2]))
        if command == "iq":
            return await session.iq(unquote(fields[2]))
        if command == "roster":
            return await session.roster()
        if command == "befriend":
            other = self.sessions.get(fields[2])
            if other is None:
                return "error no session " + fields[2]
            return await session.befriend(other, unquote(fields[3]), unquote(fields[4]))
        return "error unknown command " + command


async def main():
    logging.basicConfig(level=logging.WARNING)
    port, ca_file = int(sys.argv[1]), sys.argv[2]
    control = Control({})
    for spec in sys.argv[3:]:
        name, rest = spec.split("=", 1)
        jid, password, session_port = rest.rsplit(":", 2)
        control.sessions[name] = Session(name, jid, password, int(session_port), ca_file, control.report)
    # A line may carry thousands of stanzas at once.
    server = await asyncio.start_server(control.serve, "127.0.0.1", port, limit=1 << 24)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
