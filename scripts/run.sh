#!/bin/bash
# Builds JOV and starts it under Wine on the pocket screen (240x320 at 96 dpi;
# JOV_SCREEN=vga for 480x640 at 192 dpi). With no display it runs under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
eval "$("$root/scripts/wine-session.sh" start)"
trap '"$root/scripts/wine-session.sh" stop' EXIT
cd "$root/build/main/bin"
/usr/lib/wine/wine64 JOV.exe "$@"
