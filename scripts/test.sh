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
log "wine session"
eval "$("$root/scripts/wine-session.sh" start)"
trap '"$root/scripts/wine-session.sh" stop' EXIT
log "tests"
ctest --test-dir "${JOV_BUILD_DIR:-$root/build/main}" -j"$(nproc)" --output-on-failure --timeout 300
log "done"
