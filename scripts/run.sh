#!/bin/bash
# Builds the optimised program as it is delivered and starts it under Wine on
# the pocket screen (240x320 at 96 dpi; JOV_SCREEN=vga for 480x640 at 192 dpi).
# With no display it runs under Xvfb. The tree is build/run: no tests, and
# bin/ holds only the deliverables, the runtime libraries and their data; the
# debug sections wait in build/run/debug/ for a debugger.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/run
"$root/scripts/setup.sh"
JOV_BUILD_DIR=$build JOV_BUILD_TYPE=Release JOV_CMAKE_ARGS=-DBUILD_TESTING=OFF "$root/scripts/build.sh"
"$root/scripts/split-debug.sh" "$build/bin" "$build/debug"
eval "$("$root/scripts/wine-session.sh" start)"
trap '"$root/scripts/wine-session.sh" stop' EXIT
cd "$build/bin"
/usr/lib/wine/wine64 JOV.exe "$@"
