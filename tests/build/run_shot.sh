#!/bin/bash
# Starts JOV.exe on the pocket screen, takes a screenshot of the X screen and
# checks that the program's windows cover the 240x320 desktop.
# usage: run_shot.sh <wine-run.sh> <JOV.exe> <out.png>
set -euo pipefail
run=$1 exe=$2 out=$3
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: start scripts/wine-session.sh first"; exit 1; }
cd "$(dirname "$exe")"
"$run" "$exe" </dev/null >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true' EXIT
# Wait for the window to be painted rather than for a fixed time.
for _ in $(seq 50); do
  sleep 0.2
  import -window root -crop 240x320+0+0 +repage "$out" 2>/dev/null || continue
  # The bare desktop is black; the window's background follows the skin.
  covered=$(convert "$out" -fill white +opaque black -format '%[fx:mean]' info:)
  awk -v c="$covered" 'BEGIN { exit !(c > 0.9) }' && { echo "window shown: covered fraction $covered"; exit 0; }
done
echo "no window on the pocket screen (covered fraction ${covered:-none})"
exit 1
