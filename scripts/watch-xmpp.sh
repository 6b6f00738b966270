#!/bin/bash
# Watch the Jabber plug-in by hand: starts the tests' XMPP servers on loopback
# (users alice, bob and carol on the domain "localhost"), makes alice and bob
# share their presence, and starts JOV.exe under Wine with a Jabber account of
# alice on the local Prosody (JOV_XMPP_SERVER=ejabberd for ejabberd: DIGEST-MD5
# and zlib). This terminal plays bob: each line typed goes to alice, and her
# messages show here. Closing JOV.exe stops everything.
#   scripts/watch-xmpp.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
server=${JOV_XMPP_SERVER:-prosody}
case $server in prosody|ejabberd) ;; *) echo "JOV_XMPP_SERVER is prosody or ejabberd" >&2; exit 2 ;; esac
watch=$root/build/watch-xmpp
servers=$root/tests/xmpp/servers/servers.sh

"$root/scripts/setup.sh"
"$root/scripts/build.sh"
bin=$root/build/main/bin
rm -rf "$watch"
mkdir -p "$watch/servers" "$watch/bin"
eval "$("$root/scripts/wine-session.sh" start)"
WINE=/usr/lib/wine/wine64
cleanup() {
  (cd "$bin" && "$WINE" xmpp_trust_root.exe remove "Z:$watch/servers/ca.der") >/dev/null 2>&1 || true
  bash "$servers" stop "$watch/servers" || true
  "$root/scripts/wine-session.sh" stop
}
trap cleanup EXIT
bash "$servers" start "$watch/servers"
port=$(sed -n "s/^${server}_tls=//p" "$watch/servers/servers.txt")
control=$(sed -n 's/^third_client=//p' "$watch/servers/servers.txt")

# The program as delivered, beside its own settings: alice over TLS at localhost:$port.
cp "$bin"/JOV.exe "$bin"/*.dll "$watch/bin/"
for folder in Protos Skins Smilies Sounds Langs; do cp -r "$bin/$folder" "$watch/bin/"; done
(cd "$bin" && "$WINE" xmpp_trust_root.exe add "Z:$watch/servers/ca.der")
(cd "$bin" && "$WINE" bench_xmpp_login.exe --write-settings "Z:$watch/bin/settings.jov" "$port")

echo "JOV.exe starts with alice@localhost on $server (127.0.0.1:$port); set it Online from its status menu."
(cd "$watch/bin" && exec "$WINE" JOV.exe) &
jov=$!
/usr/bin/python3 "$root/tests/xmpp/servers/talk.py" "$control" "$server" "$jov"
wait "$jov" || true
