#!/bin/bash
# Starts and stops the XMPP servers of the plug-in's tests: one ejabberd and one
# Prosody, each with a plain and a direct-TLS port on 127.0.0.1, a direct-TLS
# port whose certificate comes from an authority nobody trusts, and a port that
# lists the sessions (ejabberd's HTTP API, Prosody's console).
#   servers.sh start DIR   configs, certificates, data, logs and servers.txt (name=value lines) in DIR
#   servers.sh stop DIR    stops every server started from DIR, by its PID, and waits for it
# Both serve the domain "localhost" with the users below; ejabberd also serves
# "plain.localhost" with hashed passwords, so that it offers no DIGEST-MD5 there.
# Their certificates come from an authority made here (ca.der is what the test
# programs trust); stranger.* from another one.
# An independent client (third_client.py, on python3-slixmpp) runs beside them
# with sessions of carol, and second sessions of alice and bob, on each server;
# the tests drive it over its control line.
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?folder}

USERS=(alice:alice-pw1 bob:bob-pw2 carol:carol-pw3 dora:dora-pw4)

# shellcheck source=../../support/peers/launch.sh
. "$(dirname "$0")/../../support/peers/launch.sh"
# Apart from the sockets peers' range (20000-32000).
PORT_RANGE="10000 20000"

if [ "$cmd" = stop ]; then
  stop_peers
  exit 0
fi

for tool in python3 openssl prosody prosodyctl ejabberdctl setsid; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/setup.sh" >&2; exit 1; }
done
stop_peers
rm -rf "$dir/prosody" "$dir/prosody-stranger" "$dir/ejabberd" "$dir/ejabberd-stranger" "$dir/servers.txt"
mkdir -p "$dir/home"
trap 'stop_peers' ERR  # a start that fails half-way leaves nothing running

if [ ! -f "$dir/localhost.crt" ]; then
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=JOV XMPP test authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$dir/ca.key" -out "$dir/ca.crt" 2>/dev/null
  openssl req -new -newkey rsa:2048 -nodes -subj "/CN=localhost" \
    -keyout "$dir/localhost.key" -out "$dir/localhost.csr" 2>/dev/null
  printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' \
    >"$dir/localhost.ext"
  openssl x509 -req -in "$dir/localhost.csr" -CA "$dir/ca.crt" -CAkey "$dir/ca.key" -CAcreateserial \
    -days 3650 -extfile "$dir/localhost.ext" -out "$dir/localhost.crt" 2>/dev/null
  openssl x509 -in "$dir/ca.crt" -outform DER -out "$dir/ca.der"
  cat "$dir/localhost.key" "$dir/localhost.crt" >"$dir/localhost.pem"
fi
if [ ! -f "$dir/stranger.crt" ]; then
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=JOV stranger authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$dir/stranger-ca.key" -out "$dir/stranger-ca.crt" 2>/dev/null
  openssl req -new -newkey rsa:2048 -nodes -subj "/CN=localhost" \
    -keyout "$dir/stranger.key" -out "$dir/stranger.csr" 2>/dev/null
  openssl x509 -req -in "$dir/stranger.csr" -CA "$dir/stranger-ca.crt" -CAkey "$dir/stranger-ca.key" \
    -CAcreateserial -days 3650 -extfile "$dir/localhost.ext" -out "$dir/stranger.crt" 2>/dev/null
  cat "$dir/stranger.key" "$dir/stranger.crt" >"$dir/stranger.pem"
fi
chmod 644 "$dir"/localhost.* "$dir"/ca.* "$dir"/stranger*

# Prosody with Debian's modules: PLAIN, encryption required on the plain port.
pconf=$dir/prosody/prosody.cfg.lua
configure_prosody() {
  prosody_plain=$1 prosody_tls=$2 prosody_console=$3
  mkdir -p "$dir/prosody/data"
  cat >"$pconf" <<CONF
run_as_root = true
pidfile = "$dir/prosody/prosody.pid"
data_path = "$dir/prosody/data"
plugin_paths = { }
interfaces = { "127.0.0.1" }
c2s_ports = { $prosody_plain }
c2s_direct_tls_ports = { $prosody_tls }
s2s_ports = { }
http_ports = { }
https_ports = { }
admins = { }
modules_enabled = { "roster"; "saslauth"; "tls"; "disco"; "ping"; "offline"; "private"; "vcard"; "admin_telnet" }
modules_disabled = { "s2s"; "dialback" }
console_ports = { $prosody_console }
authentication = "internal_hashed"
ssl = { certificate = "$dir/localhost.crt"; key = "$dir/localhost.key" }
log = { info = "$dir/prosody/prosody.log"; error = "$dir/prosody/prosody.err" }
VirtualHost "localhost"
CONF
  peer_command=(prosody --config "$pconf" -F)
}
launch_peer prosody 3

# A second Prosody whose only port shows the stranger's certificate.
sconf=$dir/prosody-stranger/prosody.cfg.lua
configure_prosody_stranger() {
  prosody_stranger=$1
  mkdir -p "$dir/prosody-stranger/data"
  cat >"$sconf" <<CONF
run_as_root = true
pidfile = "$dir/prosody-stranger/prosody.pid"
data_path = "$dir/prosody-stranger/data"
plugin_paths = { }
interfaces = { "127.0.0.1" }
c2s_ports = { }
c2s_direct_tls_ports = { $prosody_stranger }
s2s_ports = { }
http_ports = { }
https_ports = { }
admins = { }
modules_enabled = { "roster"; "saslauth"; "tls" }
modules_disabled = { "s2s"; "dialback" }
authentication = "internal_hashed"
ssl = { certificate = "$dir/stranger.crt"; key = "$dir/stranger.key" }
log = { info = "$dir/prosody-stranger/prosody.log"; error = "$dir/prosody-stranger/prosody.err" }
VirtualHost "localhost"
CONF
  peer_command=(prosody --config "$sconf" -F)
}
launch_peer prosody_stranger 1

# ejabberd: the configuration of one node in DIR, on distribution port DIST,
# with certificate PEM; the listeners come on standard input (YAML list items).
ejabberd_config() {  # ejabberd_config DIR DIST PEM
  local edir=$1
  # The spool of a node that could not start belongs to its name, which changes.
  rm -rf "$edir"
  mkdir -p "$edir/spool" "$edir/logs"
  cp /etc/ejabberd/inetrc "$edir/inetrc"
  cat >"$edir/ejabberdctl.cfg" <<CONF
EXEC_CMD=as_current_user
ERLANG_NODE=jov$2@localhost
INET_DIST_INTERFACE=127.0.0.1
ERL_DIST_PORT=$2
ERL_EPMD_ADDRESS=127.0.0.1
EJABBERD_PID_PATH=$edir/ejabberd.pid
CONF
  {
    cat <<CONF
loglevel: info
log_rotate_count: 0
hosts:
  - localhost
  - plain.localhost
host_config:
  plain.localhost:
    auth_password_format: scram
certfiles:
  - "$3"
acme:
  auto: false
disable_sasl_mechanisms:
  - "X-OAUTH2"
auth_method: internal
auth_password_format: plain
registration_timeout: infinity
acl:
  local:
    user_regexp: ""
access_rules:
  local:
    allow: local
  c2s:
    allow: all
api_permissions:
  "session list":
    from:
      - mod_http_api
    who:
      ip: 127.0.0.1/8
    what:
      - connected_users
  "log level":
    from:
      - mod_http_api
    who:
      ip: 127.0.0.1/8
    what:
      - set_loglevel
  "console commands":
    from:
      - ejabberd_ctl
    who: all
    what: "*"
modules:
  mod_caps: {}
  mod_disco: {}
  mod_offline: {}
  mod_ping: {}
  mod_roster: {}
  mod_vcard: {}
listen:
CONF
    cat
  } >"$edir/ejabberd.yml"
}
ejabberdctl_of() {  # the ejabberdctl command line of the node in DIR
  ectl=(ejabberdctl --config-dir "$1" --config "$1/ejabberd.yml" --ctl-config "$1/ejabberdctl.cfg"
        --logs "$1/logs" --spool "$1/spool")
}
export HOME=$dir/home

# Plain password storage, so that DIGEST-MD5 is offered, and zlib.
edir=$dir/ejabberd
configure_ejabberd() {
  ejabberd_plain=$1 ejabberd_tls=$2 ejabberd_http=$3
  ejabberd_config "$edir" "$4" "$dir/localhost.pem" <<CONF
  -
    port: $ejabberd_plain
    ip: "127.0.0.1"
    module: ejabberd_c2s
    zlib: true
  -
    port: $ejabberd_tls
    ip: "127.0.0.1"
    module: ejabberd_c2s
    tls: true
    zlib: true
  -
    port: $ejabberd_http
    ip: "127.0.0.1"
    module: ejabberd_http
    request_handlers:
      /api: mod_http_api
CONF
  ejabberdctl_of "$edir"
  peer_command=("${ectl[@]}" foreground)
  peer_pidfile=$edir/ejabberd.pid
}
launch_peer ejabberd 4

# A second node that shows the stranger's certificate: ejabberd picks the
# certificate by the name asked for, so one node cannot show both for "localhost".
sdir=$dir/ejabberd-stranger
configure_ejabberd_stranger() {
  ejabberd_stranger=$1
  ejabberd_config "$sdir" "$2" "$dir/stranger.pem" <<CONF
  -
    port: $ejabberd_stranger
    ip: "127.0.0.1"
    module: ejabberd_c2s
    tls: true
CONF
  ejabberdctl_of "$sdir"
  peer_command=("${ectl[@]}" foreground)
  peer_pidfile=$sdir/ejabberd.pid
}
launch_peer ejabberd_stranger 2

# ejabberd takes seconds to start, more on a busy machine.
settle_peers 120
ejabberdctl_of "$edir"

# A server that listens may still be settling, and its control command times
# out on a busy machine: such a registration is made again.
register() {  # register COMMAND...
  local out
  for attempt in $(seq 10); do
    out=$("$@" 2>&1) && return 0
    case $out in *"already registered"*|*"already exists"*) return 0 ;; esac
    [ "$attempt" = 10 ] || sleep 1
  done
  echo "$*: $out" >&2
  return 1
}
for user in "${USERS[@]}"; do
  register prosodyctl --config "$pconf" register "${user%%:*}" localhost "${user#*:}"
  register "${ectl[@]}" register "${user%%:*}" localhost "${user#*:}"
  register "${ectl[@]}" register "${user%%:*}" plain.localhost "${user#*:}"
  register prosodyctl --config "$sconf" register "${user%%:*}" localhost "${user#*:}"
done

# The independent client, with Debian's interpreter (it has python3-slixmpp).
/usr/bin/python3 -c 'import slixmpp' 2>/dev/null || { echo "missing python3-slixmpp: run scripts/setup.sh" >&2; exit 1; }
configure_third_client() {
  third_client=$1
  local user name resource password sessions=()
  for user in alice:second bob:second carol:third dora:second; do
    name=${user%%:*} resource=${user#*:}
    password=$(printf '%s\n' "${USERS[@]}" | sed -n "s/^$name://p")
    sessions+=("$name-ejabberd=$name@localhost/$resource:$password:$ejabberd_tls"
               "$name-prosody=$name@localhost/$resource:$password:$prosody_tls")
  done
  peer_command=(/usr/bin/python3 -B "$(dirname "$0")/third_client.py" "$third_client" "$dir/ca.crt" "${sessions[@]}")
}
launch_peer third_client 1
settle_peers 60

{
  echo "prosody_plain=$prosody_plain"
  echo "prosody_tls=$prosody_tls"
  echo "ejabberd_plain=$ejabberd_plain"
  echo "ejabberd_tls=$ejabberd_tls"
  echo "prosody_stranger=$prosody_stranger"
  echo "prosody_console=$prosody_console"
  echo "ejabberd_stranger=$ejabberd_stranger"
  echo "ejabberd_http=$ejabberd_http"
  echo "ejabberd_log=Z:$edir/logs/ejabberd.log"
  echo "third_client=$third_client"
  echo "domain=localhost"
  for user in "${USERS[@]}"; do
    echo "password_${user%%:*}=${user#*:}"
  done
  echo "ca=Z:$dir/ca.der"
} >"$dir/servers.txt.tmp"
mv "$dir/servers.txt.tmp" "$dir/servers.txt"
echo "servers up: $dir/servers.txt"
