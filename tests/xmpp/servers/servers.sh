#!/bin/bash
# Starts and stops the XMPP servers of the plug-in's tests: one ejabberd and one
# Prosody, each with a plain and a direct-TLS port on 127.0.0.1.
#   servers.sh start DIR   configs, certificates, data, logs and servers.txt (name=value lines) in DIR
#   servers.sh stop DIR    stops every server started from DIR, by its PID, and waits for it
# Both serve the domain "localhost" with the users below; their certificates
# come from an authority made here (ca.der is what the test program trusts).
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?folder}

USERS=(alice:alice-pw1 bob:bob-pw2)

# Waits until the process is gone; false when it outlived the time.
wait_gone() {  # wait_gone PID TENTHS
  for _ in $(seq "$2"); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  ! kill -0 "$1" 2>/dev/null
}

# Each line of DIR/pids is "PID" or "PID PIDFILE": when the pid file names the
# real server (ejabberd runs under a wrapper script), that one is stopped first.
stop_all() {
  [ -f "$dir/pids" ] || return 0
  local pid pidfile real
  while read -r pid pidfile; do
    if [ -n "${pidfile:-}" ] && [ -f "$pidfile" ]; then
      real=$(cat "$pidfile")
      if [ -n "$real" ] && kill "$real" 2>/dev/null; then
        wait_gone "$real" 100 || kill -9 "$real" 2>/dev/null || true
      fi
    fi
    kill "$pid" 2>/dev/null || true
    wait_gone "$pid" 100 || kill -9 "$pid" 2>/dev/null || true
  done <"$dir/pids"
  rm -f "$dir/pids"
}

if [ "$cmd" = stop ]; then
  stop_all
  exit 0
fi

for tool in python3 openssl prosody prosodyctl ejabberdctl setsid; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/setup.sh" >&2; exit 1; }
done
stop_all
rm -rf "$dir/prosody" "$dir/ejabberd" "$dir/servers.txt"
mkdir -p "$dir/prosody/data" "$dir/ejabberd/spool" "$dir/ejabberd/logs" "$dir/home"
trap 'stop_all' ERR  # a start that fails half-way leaves nothing running

read -r -a ports < <(python3 - <<'PY'
import socket
held = []
for _ in range(5):
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    held.append(s)
print(" ".join(str(s.getsockname()[1]) for s in held))
PY
)
prosody_plain=${ports[0]} prosody_tls=${ports[1]} ejabberd_plain=${ports[2]} ejabberd_tls=${ports[3]}
ejabberd_dist=${ports[4]}

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
chmod 644 "$dir"/localhost.* "$dir"/ca.*

spawn() {  # spawn NAME PIDFILE COMMAND...: detached, its own log, PID recorded
  local name=$1 pidfile=$2
  shift 2
  setsid "$@" </dev/null >"$dir/$name.log" 2>&1 &
  echo "$! $pidfile" >>"$dir/pids"
}

wait_port() {  # wait_port PORT NAME LOG
  for _ in $(seq 300); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; then return 0; fi
    sleep 0.05
  done
  echo "$2 did not open port $1; its log:" >&2
  tail -n 20 "$3" >&2 || true
  return 1
}

# Prosody with Debian's modules: PLAIN, encryption required on the plain port.
pconf=$dir/prosody/prosody.cfg.lua
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
modules_enabled = { "roster"; "saslauth"; "tls"; "disco"; "ping"; "offline"; "private"; "vcard" }
modules_disabled = { "s2s"; "dialback" }
authentication = "internal_hashed"
ssl = { certificate = "$dir/localhost.crt"; key = "$dir/localhost.key" }
log = { info = "$dir/prosody/prosody.log"; error = "$dir/prosody/prosody.err" }
VirtualHost "localhost"
CONF
spawn prosody "" prosody --config "$pconf" -F

# ejabberd with plain password storage, so that DIGEST-MD5 is offered, and zlib.
edir=$dir/ejabberd
cp /etc/ejabberd/inetrc "$edir/inetrc"
cat >"$edir/ejabberdctl.cfg" <<CONF
EXEC_CMD=as_current_user
ERLANG_NODE=jov$ejabberd_dist@localhost
INET_DIST_INTERFACE=127.0.0.1
ERL_DIST_PORT=$ejabberd_dist
ERL_EPMD_ADDRESS=127.0.0.1
EJABBERD_PID_PATH=$edir/ejabberd.pid
CONF
cat >"$edir/ejabberd.yml" <<CONF
loglevel: info
log_rotate_count: 0
hosts:
  - localhost
certfiles:
  - "$dir/localhost.pem"
listen:
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
CONF
ectl=(ejabberdctl --config-dir "$edir" --config "$edir/ejabberd.yml" --ctl-config "$edir/ejabberdctl.cfg"
      --logs "$edir/logs" --spool "$edir/spool")
export HOME=$dir/home
spawn ejabberd "$edir/ejabberd.pid" "${ectl[@]}" foreground

wait_port "$prosody_plain" prosody "$dir/prosody.log"
wait_port "$prosody_tls" prosody "$dir/prosody.log"
wait_port "$ejabberd_plain" ejabberd "$edir/logs/ejabberd.log"
wait_port "$ejabberd_tls" ejabberd "$edir/logs/ejabberd.log"

for user in "${USERS[@]}"; do
  prosodyctl --config "$pconf" register "${user%%:*}" localhost "${user#*:}" >/dev/null
  "${ectl[@]}" register "${user%%:*}" localhost "${user#*:}" >/dev/null
done

{
  echo "prosody_plain=$prosody_plain"
  echo "prosody_tls=$prosody_tls"
  echo "ejabberd_plain=$ejabberd_plain"
  echo "ejabberd_tls=$ejabberd_tls"
  echo "domain=localhost"
  for user in "${USERS[@]}"; do
    echo "password_${user%%:*}=${user#*:}"
  done
  echo "ca=Z:$dir/ca.der"
} >"$dir/servers.txt.tmp"
mv "$dir/servers.txt.tmp" "$dir/servers.txt"
echo "servers up: $dir/servers.txt"
