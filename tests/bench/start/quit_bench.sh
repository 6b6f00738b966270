#!/bin/bash
# The quit benchmark's entry: starts the tests' XMPP servers in a folder of
# its own, has the prefix trust their authority for the run, measures, and
# undoes both. Run from the benchmark tree's bin/ with $WINE set (scripts/bench.sh).
#   quit_bench.sh [runs]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
servers=$here/../../xmpp/servers/servers.sh
dir=$(mktemp -d)
trap '"$WINE" xmpp_trust_root.exe remove "Z:$dir/ca.der" >/dev/null 2>&1
      bash "$servers" stop "$dir" >/dev/null 2>&1; rm -rf "$dir"' EXIT
bash "$servers" start "$dir" >/dev/null || exit 1
"$WINE" xmpp_trust_root.exe add "Z:$dir/ca.der" || exit 1
"$WINE" bench_quit.exe "${1:-7}" JOV.exe bench_minimal.exe "Z:$dir/servers.txt"
