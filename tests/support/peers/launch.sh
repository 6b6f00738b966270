# Starting and stopping loopback peers on ports drawn at random; sourced by the
# peer scripts of the tests. A peer that cannot bind one of its ports (another
# program took it between the draw and the bind) is started again on others,
# so that a busy machine never fails a whole test program's fixture.
#
# The sourcing script sets `dir` (logs and the pids list) and PORT_RANGE
# ("LOW HIGH", below the kernel's ephemeral range, where no outgoing connection
# of another test takes a port meanwhile), then for each peer:
#   configure_NAME PORT...  writes its configuration for these ports and sets
#                           `peer_command` (and `peer_pidfile` when the pid of
#                           the real server is in a file, `peer_listens` when it
#                           listens on fewer ports than it holds)
#   launch_peer NAME COUNT  draws COUNT ports and starts it
# and once all are launched, settle_peers waits until every peer listens.
# DIR/pids has a "PID [PIDFILE]" line per running peer; stop_peers ends them.

launch_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
declare -A peer_pid peer_ports peer_wait peer_attempts
launch_order=()
taken_ports=" "

# Sets `drawn` to COUNT ports of PORT_RANGE free now and not handed out before in this run.
draw_ports() {  # draw_ports COUNT
  drawn=$(python3 - "$1" $PORT_RANGE "$taken_ports" <<'PY'
import random, socket, sys
count, low, high, taken = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), set(sys.argv[4].split())
held = []
while len(held) < count:
    port = random.randrange(low, high)
    if str(port) in taken:
        continue
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", port))
    except OSError:
        s.close()
        continue
    taken.add(str(port))
    held.append(s)
print(" ".join(str(s.getsockname()[1]) for s in held))
PY
)
  taken_ports+="$drawn "
}

# True while the process runs: a zombie that nobody reaped yet is gone.
alive() {  # alive PID
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [ "${stat%% *}" != Z ]
}

# Waits until the process is gone; false when it outlived the time.
wait_gone() {  # wait_gone PID TENTHS
  for _ in $(seq "$2"); do
    alive "$1" || return 0
    sleep 0.1
  done
  ! alive "$1"
}

# Ends peers given as "PID [PIDFILE]" lines: all are asked at once (the real
# server too when a pid file names it), then each is waited for or killed.
stop_lines() {
  local pid pidfile real pids=()
  while read -r pid pidfile; do
    [ -n "$pid" ] || continue
    if [ -n "${pidfile:-}" ] && [ -f "$pidfile" ]; then
      real=$(cat "$pidfile")
      [ -n "$real" ] && kill "$real" 2>/dev/null && pids+=("$real")
    fi
    kill "$pid" 2>/dev/null || true
    pids+=("$pid")
  done
  for pid in "${pids[@]+"${pids[@]}"}"; do
    wait_gone "$pid" 100 || kill -9 "$pid" 2>/dev/null || true
  done
}

stop_peers() {
  [ -f "$dir/pids" ] || return 0
  stop_lines <"$dir/pids"
  rm -f "$dir/pids"
}

launch_peer() {  # launch_peer NAME COUNT
  local name=$1 ports
  [ -z "${peer_attempts[$name]:-}" ] && rm -f "$dir/$name.attempts"
  draw_ports "$2"
  ports=$drawn
  peer_command=() peer_pidfile="" peer_listens=""
  # shellcheck disable=SC2086
  "configure_$name" $ports
  [ -n "$peer_pidfile" ] && rm -f "$peer_pidfile"
  setsid "${peer_command[@]}" </dev/null >"$dir/$name.log" 2>&1 &
  peer_pid[$name]=$!
  peer_ports[$name]=$ports
  peer_wait[$name]=${peer_listens:-$ports}
  echo "$! $peer_pidfile" >>"$dir/pids"
  if [ -z "${peer_attempts[$name]:-}" ]; then
    peer_attempts[$name]=1
    launch_order+=("$name")
  else
    peer_attempts[$name]=$(( ${peer_attempts[$name]} + 1 ))
  fi
}

# Ends the attempt of NAME that could not serve, keeping the other peers' lines.
drop_attempt() {  # drop_attempt NAME
  local pid=${peer_pid[$1]}
  grep "^$pid\( \|$\)" "$dir/pids" | stop_lines
  grep -v "^$pid\( \|$\)" "$dir/pids" >"$dir/pids.tmp" || true
  mv "$dir/pids.tmp" "$dir/pids"
}

# Waits until every launched peer listens, launching again on other ports each
# one that cannot; false (having said why) when a peer fails too often or is
# still starting after SECONDS.
settle_peers() {  # settle_peers SECONDS
  local name rc pending=("${launch_order[@]}") left
  while [ ${#pending[@]} -gt 0 ]; do
    left=()
    for name in "${pending[@]}"; do
      rc=0
      # shellcheck disable=SC2086
      python3 "$launch_here/listening.py" "${peer_pid[$name]}" "$1" ${peer_wait[$name]} \
        2>>"$dir/$name.attempts" || rc=$?
      [ $rc = 0 ] && continue
      if [ $rc = 1 ] && [ "${peer_attempts[$name]}" -lt 8 ]; then
        echo "$name: attempt ${peer_attempts[$name]} on ports ${peer_ports[$name]} failed, trying others" >&2
        tail -n 3 "$dir/$name.log" >>"$dir/$name.attempts" 2>/dev/null || true
        drop_attempt "$name"
        launch_peer "$name" "$(wc -w <<<"${peer_ports[$name]}")"
        left+=("$name")
        continue
      fi
      echo "$name did not come up on ports ${peer_ports[$name]}; why:" >&2
      tail -n 4 "$dir/$name.attempts" >&2 || true
      echo "its log:" >&2
      tail -n 20 "$dir/$name.log" >&2 || true
      return 1
    done
    pending=("${left[@]+"${left[@]}"}")
  done
}
