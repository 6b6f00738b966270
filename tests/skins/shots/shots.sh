#!/bin/bash
# Screenshots of the main window and of every image of the runnable tree, on
# the pocket screen at 96 dpi (the session CTest runs in) and at 192 dpi (a
# session of its own), into <build>/screenshots.
# usage: shots.sh <repository> <skins_shots.exe> <screenshots folder>
set -euo pipefail
root=$1 exe=$2 out=$3
WINE=/usr/lib/wine/wine64
mkdir -p "$out"
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: start scripts/wine-session.sh first"; exit 1; }

shoot() {  # <qvga|vga>
  local screen=$1 status=0
  for what in sheet main; do
    local file="$out/skins-$what-$screen.png"
    rm -f "$file"
    "$WINE" "$exe" "$what" "$(winepath -w "$file")" </dev/null || status=1
    [ -s "$file" ] || { echo "no $file"; status=1; }
  done
  return $status
}

shoot qvga
# The dense screen needs its own prefix, server and display.
session=$(env -u DISPLAY -u WINEPREFIX JOV_SCREEN=vga "$root/scripts/wine-session.sh" start)
stop() { env -u DISPLAY -u WINEPREFIX JOV_SCREEN=vga "$root/scripts/wine-session.sh" stop; }
trap stop EXIT
(eval "$session"; shoot vga)
