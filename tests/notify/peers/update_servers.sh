#!/bin/bash
# Starts and stops the loopback update servers of the version-check tests.
#   update_servers.sh start DIR   servers.txt (name=port lines) and the log in DIR
#   update_servers.sh stop DIR    stops the servers started from DIR, by their PID
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:?start or stop}
dir=${2:?folder}

stop_servers() {
  [ -f "$dir/pid" ] || return 0
  local pid
  pid=$(cat "$dir/pid")
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  rm -f "$dir/pid"
}

stop_servers
[ "$cmd" = stop ] && exit 0
command -v python3 >/dev/null || { echo "missing python3: run scripts/setup.sh" >&2; exit 1; }
mkdir -p "$dir"
rm -f "$dir/servers.txt"
setsid python3 "$here/update_server.py" "$dir/servers.txt" </dev/null >"$dir/servers.log" 2>&1 &
echo $! >"$dir/pid"
for _ in $(seq 100); do
  [ -s "$dir/servers.txt" ] && exit 0
  sleep 0.1
done
echo "the update servers did not start:" >&2
cat "$dir/servers.log" >&2
stop_servers
exit 1
