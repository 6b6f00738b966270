#!/bin/bash
# Runs the bubble screenshot tests on the 480x640 screen at 192 dpi: a Wine
# session of that screen (its own prefix and server) beside the test session.
# usage: vga_screenshots.sh <source root> <notify_tests.exe> <screenshots folder>
set -euo pipefail
root=$1 exe=$2 shots=$3
export JOV_SCREEN=vga
unset WINEPREFIX
eval "$("$root/scripts/wine-session.sh" start)"
trap 'JOV_SCREEN=vga "$root/scripts/wine-session.sh" stop' EXIT
mkdir -p "$shots"
cd "$(dirname "$exe")"
/usr/lib/wine/wine64 "$exe" --gtest_brief=1 --gtest_filter='BubbleScreenshots.*'
