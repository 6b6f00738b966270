#!/bin/bash
# Starts JOV.exe on the pocket screen, takes a screenshot of the X screen and
# checks that the program's window fills the 240x320 desktop.
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
  white=$(convert "$out" -fill black +opaque white -format '%[fx:mean]' info:)
  # A fresh start opens the preferences over the window: mostly white, not all.
  awk -v w="$white" 'BEGIN { exit !(w > 0.75) }' && { echo "window shown: white fraction $white"; exit 0; }
done
echo "no window on the pocket screen (white fraction ${white:-none})"
exit 1
