#!/bin/bash
# Runs a test program on the 480x640 screen at 192 dpi: a Wine session of
# that screen (its own prefix, made on first use) beside the caller's, ended
# afterwards.  usage: run_vga.sh <wine-session.sh> <wine-run.sh> <program> [args...]
set -euo pipefail
session=$1 run=$2
shift 2
eval "$(env -u WINEPREFIX JOV_SCREEN=vga "$session" start)"
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT
"$run" "$@"
