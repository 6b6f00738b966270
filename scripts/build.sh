#!/bin/bash
# Configures and builds the runnable tree in build/main (bin/ holds JOV.exe).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${JOV_BUILD_DIR:-$root/build/main}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${JOV_BUILD_TYPE:-Debug} \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DJOV_DEPS_PREFIX="${JOV_DEPS_PREFIX:-$root/build/deps}" >/dev/null
fi
cmake --build "$build"
