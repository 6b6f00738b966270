#!/bin/bash
# Starts and stops the loopback peers of the socket tests.
#   peers.sh start DIR   config, certificate, logs and peers.txt (name=port lines) in DIR
#   peers.sh stop DIR    stops every peer started from DIR, by its PID
# Every peer listens on 127.0.0.1 only, on free ports picked at start.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:?start or stop}
dir=${2:?folder}

# SOCKS 5 with user name and password (dante checks the system's password database).
SOCKS_USER=jovsocks
SOCKS_PASSWORD=jov-Socks5
HTTP_USER=jovhttp
HTTP_PASSWORD=jov-Http1

# shellcheck source=../../support/peers/launch.sh
. "$here/../../support/peers/launch.sh"
PORT_RANGE="20000 32000"

if [ "$cmd" = stop ]; then
  stop_peers
  exit 0
fi

for tool in python3 openssl tinyproxy danted microsocks useradd chpasswd setsid; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/setup.sh" >&2; exit 1; }
done
stop_peers
mkdir -p "$dir"
rm -f "$dir/peers.txt"
trap 'stop_peers' ERR  # a start that fails half-way leaves nothing running

# A test authority (ca.der is what the test program trusts), a server
# certificate it signed for localhost and 127.0.0.1, one it signed for another
# name, a self-signed one, and one for localhost from an authority nobody trusts
# (whose certificate the server does not send).
if [ ! -f "$dir/stranger.crt" ]; then
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=JOV test authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$dir/ca.key" -out "$dir/ca.crt" 2>/dev/null
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Stranger authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$dir/strangerca.key" -out "$dir/strangerca.crt" 2>/dev/null
  signed() {  # signed NAME SUBJECT SAN [AUTHORITY]
    local ca=${4:-ca}
    openssl req -new -newkey rsa:2048 -nodes -subj "$2" -keyout "$dir/$1.key" -out "$dir/$1.csr" 2>/dev/null
    printf 'subjectAltName=%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' "$3" >"$dir/$1.ext"
    openssl x509 -req -in "$dir/$1.csr" -CA "$dir/$ca.crt" -CAkey "$dir/$ca.key" -CAcreateserial -days 3650 \
      -extfile "$dir/$1.ext" -out "$dir/$1.crt" 2>/dev/null
  }
  signed localhost "/CN=localhost" "DNS:localhost,IP:127.0.0.1"
  signed other "/CN=example.test" "DNS:example.test"
  signed stranger "/CN=localhost" "DNS:localhost,IP:127.0.0.1" strangerca
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=localhost" \
    -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" \
    -keyout "$dir/selfsigned.key" -out "$dir/selfsigned.crt" 2>/dev/null
  openssl x509 -in "$dir/ca.crt" -outform DER -out "$dir/ca.der"
fi

configure_line_peer() {
  echo_port=$1 greet_port=$2 closer_port=$3 flood_port=$4 silent_port=$5 tls_echo_port=$6
  tls_closer_port=$7 tls_silent_port=$8 tls_self_port=$9 tls_other_port=${10} tls_sni_port=${11}
  tls_stranger_port=${12} closed_port=${13}
  peer_command=(python3 "$here/line_peer.py" "$dir/localhost.crt" "$dir/localhost.key"
    "echo:$echo_port" "greet:$greet_port" "closer:$closer_port" "flood:$flood_port"
    "silent:$silent_port" "echo:$tls_echo_port:tls" "closer:$tls_closer_port:tls"
    "silent:$tls_silent_port" "echo:$tls_self_port:tls:$dir/selfsigned" "echo:$tls_other_port:tls:$dir/other"
    "sni:$tls_sni_port:tls" "echo:$tls_stranger_port:tls:$dir/stranger" "hold:$closed_port")
  peer_listens="${*:1:12}"
}
launch_peer line_peer 13

# HTTP CONNECT with Basic authorization; no ConnectPort line lets CONNECT reach any port.
configure_tinyproxy() {
  http_port=$1
  cat >"$dir/tinyproxy.conf" <<CONF
Port $http_port
Listen 127.0.0.1
Allow 127.0.0.1
BasicAuth $HTTP_USER $HTTP_PASSWORD
PidFile "$dir/tinyproxy.pid"
LogFile "$dir/tinyproxy-run.log"
LogLevel Info
MaxClients 20
Timeout 60
CONF
  peer_command=(tinyproxy -d -c "$dir/tinyproxy.conf")
}
launch_peer tinyproxy 1

# dante: methods are global, so SOCKS 4 (no method) and SOCKS 5 (user name) are two instances.
# Another run starting its peers at the same time holds the password files a moment.
for attempt in $(seq 20); do
  if { id -u "$SOCKS_USER" >/dev/null 2>&1 || useradd --system -M -s /usr/sbin/nologin "$SOCKS_USER"; } &&
     echo "$SOCKS_USER:$SOCKS_PASSWORD" | chpasswd; then
    break
  fi
  [ "$attempt" = 20 ] && { echo "cannot set up the SOCKS user" >&2; false; }
  sleep 0.5
done
# A port no peer listens on, which dante refuses to reach.
draw_ports 1
blocked_port=$drawn
dante_conf() {  # dante_conf PORT METHOD
  cat <<CONF
logoutput: stderr
internal: 127.0.0.1 port = $1
external: 127.0.0.1
clientmethod: none
socksmethod: $2
user.privileged: root
user.unprivileged: nobody
client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }
socks block { from: 127.0.0.0/8 to: 127.0.0.1/32 port = $blocked_port }
socks pass { from: 127.0.0.0/8 to: 127.0.0.0/8 command: connect }
socks block { from: 0.0.0.0/0 to: 0.0.0.0/0 }
CONF
}
configure_danted4() {
  socks4_port=$1
  dante_conf "$socks4_port" none >"$dir/danted4.conf"
  peer_command=(danted -f "$dir/danted4.conf" -p "$dir/danted4.pid")
}
configure_danted5() {
  socks5_port=$1
  dante_conf "$socks5_port" username >"$dir/danted5.conf"
  peer_command=(danted -f "$dir/danted5.conf" -p "$dir/danted5.pid")
}
launch_peer danted4 1
launch_peer danted5 1

configure_microsocks() {
  micro_port=$1
  peer_command=(microsocks -i 127.0.0.1 -p "$micro_port" -b 127.0.0.1 -u "$SOCKS_USER" -P "$SOCKS_PASSWORD")
}
launch_peer microsocks 1

settle_peers 60

cat >"$dir/peers.txt.tmp" <<TXT
echo=$echo_port
greet=$greet_port
closer=$closer_port
flood=$flood_port
silent=$silent_port
tls_echo=$tls_echo_port
tls_closer=$tls_closer_port
tls_silent=$tls_silent_port
tls_selfsigned=$tls_self_port
tls_other=$tls_other_port
tls_sni=$tls_sni_port
tls_stranger=$tls_stranger_port
ca=Z:$dir/ca.der
http=$http_port
http_user=$HTTP_USER
http_password=$HTTP_PASSWORD
socks4=$socks4_port
socks5=$socks5_port
microsocks=$micro_port
socks_user=$SOCKS_USER
socks_password=$SOCKS_PASSWORD
closed=$closed_port
blocked=$blocked_port
TXT
mv "$dir/peers.txt.tmp" "$dir/peers.txt"
echo "peers up: $dir/peers.txt"
