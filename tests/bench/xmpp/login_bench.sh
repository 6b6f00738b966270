#!/bin/bash
# The XMPP login benchmark's entry: starts the tests' XMPP servers in a
# folder of its own, measures against their ejabberd, and stops them.
# Run from the benchmark tree's bin/ with $WINE set (scripts/bench.sh).
#   login_bench.sh [runs]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
servers=$here/../../xmpp/servers/servers.sh
dir=$(mktemp -d)
trap 'bash "$servers" stop "$dir" >/dev/null 2>&1; rm -rf "$dir"' EXIT
bash "$servers" start "$dir" >/dev/null || exit 1
"$WINE" bench_xmpp_login.exe "Z:$dir/servers.txt" "${1:-7}"
