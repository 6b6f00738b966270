#!/bin/bash
# Installs what is missing, builds everything and runs every test under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$(date +%s)
log() { echo "[test +$(( $(date +%s) - start ))s] $*"; }

log "set-up"
"$root/scripts/setup.sh"
log "build"
"$root/scripts/build.sh"
log "fuzz targets"
# Built natively into build/fuzz; CTest runs each for a short pass.
"$root/scripts/fuzz.sh" --build-only
log "wine session"
# Stopped however the run ends, also when the start fails half-way.
trap '"$root/scripts/wine-session.sh" stop' EXIT
eval "$("$root/scripts/wine-session.sh" start)"
log "tests"
ctest --test-dir "${JOV_BUILD_DIR:-$root/build/main}" -j"$(nproc)" --output-on-failure --timeout 300
log "done"
