#!/bin/bash
# Runs every benchmark under Wine on the pocket screen and prints one table:
# each figure, the baseline measured in the same run, their ratio and their
# difference. Benchmarks report; they never fail the build and are not tests.
# The table is also written to build/bench/bench-results.txt.
#
# The tree is build/bench: optimised as scripts/run.sh builds it (debug
# sections split off), with the benchmark programs, without the test programs.
# It shares the Wine prefix of scripts/test.sh: do not run both at once.
#
# An entry of the table below is "name|command". The command runs from the
# benchmark tree's bin/ inside this script's Wine session ($WINE is the Wine
# loader, $BENCH_BIN the bin/ folder) and prints one row per figure, tab-separated:
#   figure  median  min  max  unit  baseline-name  baseline-median
# (the baseline's two fields are "-" for a figure without one). Medians are of
# several runs, the entry's own choice how many. $(account_settings) names a
# settings file with one ICQ account whose lists hold 1,000 contacts in 20
# groups, made once a run by logging in against the scripted server.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BENCH_BUILD=${JOV_BENCH_BUILD_DIR:-$root/build/bench}
export BENCH_BIN=$BENCH_BUILD/bin
export WINE=/usr/lib/wine/wine64

BENCHMARKS=(
  'start|$WINE bench_start.exe start 7 JOV.exe bench_minimal.exe "$(account_settings)"'
  'phases|$WINE bench_start.exe phases 7 JOV.exe "$(account_settings)"'
  'memory|$WINE bench_start.exe memory 3 JOV.exe bench_minimal.exe "$(account_settings)"'
  'quit|bash "$root/tests/bench/start/quit_bench.sh" 7'
  'icq-login|$WINE bench_icq.exe 7'
  'settings|$WINE bench_settings.exe "$(account_settings)" 15'
  'clctrl|$WINE bench_clctrl.exe'
  'chat|$WINE bench_chat.exe'
  'history|$WINE bench_history.exe "$(account_settings)" 5'
  'xmpp|$WINE bench_xmpp.exe'
  'xmpp-stanza|$WINE bench_xmpp_stanza.exe'
  'xmpp-login|bash "$root/tests/bench/xmpp/login_bench.sh" 7'
)

account_settings() {
  local file=bench-account.jov
  if [ ! -s "$BENCH_BIN/$file" ]; then
    (cd "$BENCH_BIN" && "$WINE" bench_icq.exe --write-settings "$file") >&2 || rm -f "$BENCH_BIN/$file"
  fi
  echo "$file"
}

"$root/scripts/setup.sh" >&2
JOV_BUILD_DIR=$BENCH_BUILD JOV_BUILD_TYPE=Release JOV_CMAKE_ARGS=-DJOV_BENCH=ON "$root/scripts/build.sh" >&2 || exit 1
"$root/scripts/split-debug.sh" "$BENCH_BIN" "$BENCH_BUILD/debug" || exit 1
eval "$("$root/scripts/wine-session.sh" start)"
trap '"$root/scripts/wine-session.sh" stop' EXIT
rm -f "$BENCH_BIN/bench-account.jov"

out=$BENCH_BUILD/bench-results.txt
rows=$(mktemp)
for entry in "${BENCHMARKS[@]}"; do
  name=${entry%%|*}
  cmd=${entry#*|}
  echo "[bench] $name" >&2
  if ! (cd "$BENCH_BIN" && eval "$cmd") | tr -d '\r' | sed "s/^/$name\t/" >>"$rows"; then
    printf '%s\t(failed)\t-\t-\t-\t-\t-\t-\n' "$name" >>"$rows"
  fi
done

{
  printf '%-10s %-30s %9s %9s %9s %-4s  %-16s %9s %7s %9s\n' \
    benchmark figure median min max unit baseline median ratio over
  awk -F'\t' '{
    numeric = ($8 != "-" && $3 + 0 == $3 && $8 + 0 == $8)
    ratio = (numeric && $8 + 0 != 0) ? sprintf("%.2fx", $3 / $8) : "-"
    over = numeric ? sprintf("%+.1f", $3 - $8) : "-"
    printf "%-10s %-30s %9s %9s %9s %-4s  %-16s %9s %7s %9s\n", $1, $2, $3, $4, $5, $6, $7, $8, ratio, over
  }' "$rows"
} | tee "$out"
rm -f "$rows"
echo "written to $out" >&2
