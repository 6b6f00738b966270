#!/bin/bash
# Runs every benchmark under Wine on the pocket screen and prints one table:
# each figure, the baseline measured in the same run, and their ratio.
# Benchmarks report; they never fail the build and are not tests.
#
# An entry of the table below is "name|command". The command runs from the
# benchmark tree's bin/ inside this script's Wine session ($WINE is the Wine
# loader, $BENCH_BIN the bin/ folder) and prints one row per figure, tab-separated:
#   figure  median  min  max  unit  baseline-name  baseline-median
# (the baseline's two fields are "-" for a figure without one). Medians are of
# several runs, the entry's own choice how many.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BENCH_BUILD=${JOV_BENCH_BUILD_DIR:-$root/build/bench}
export BENCH_BIN=$BENCH_BUILD/bin
export WINE=/usr/lib/wine/wine64

BENCHMARKS=(
  'xmpp|"$WINE" bench_xmpp.exe'
)

"$root/scripts/setup.sh"
JOV_BUILD_DIR=$BENCH_BUILD JOV_BUILD_TYPE=Release JOV_BENCH=ON "$root/scripts/build.sh" || exit 1
eval "$("$root/scripts/wine-session.sh" start)"
trap '"$root/scripts/wine-session.sh" stop' EXIT

out=$BENCH_BUILD/bench-results.txt
rows=$(mktemp)
for entry in "${BENCHMARKS[@]}"; do
  name=${entry%%|*}
  cmd=${entry#*|}
  echo "[bench] $name" >&2
  if ! (cd "$BENCH_BIN" && eval "$cmd") | sed "s/^/$name\t/" >>"$rows"; then
    printf '%s\t(failed)\t-\t-\t-\t-\t-\t-\n' "$name" >>"$rows"
  fi
done

{
  printf '%-10s %-28s %12s %12s %12s %-6s  %-24s %12s %7s\n' \
    benchmark figure median min max unit baseline "baseline" ratio
  awk -F'\t' '{
    ratio = ($8 != "-" && $8 + 0 != 0 && $3 + 0 == $3) ? sprintf("%.2fx", $3 / $8) : "-"
    printf "%-10s %-28s %12s %12s %12s %-6s  %-24s %12s %7s\n", $1, $2, $3, $4, $5, $6, $7, $8, ratio
  }' "$rows"
} | tee "$out"
rm -f "$rows"
echo "written to $out" >&2
