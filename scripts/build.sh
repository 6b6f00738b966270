#!/bin/bash
# Configures and builds the runnable tree in build/main (bin/ holds JOV.exe).
# JOV_BUILD_DIR, JOV_BUILD_TYPE and JOV_CMAKE_ARGS (more -D options) choose
# another tree; they count when the tree is first configured.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${JOV_BUILD_DIR:-$root/build/main}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${JOV_BUILD_TYPE:-Debug} \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DJOV_DEPS_PREFIX="${JOV_DEPS_PREFIX:-$root/build/deps}" ${JOV_CMAKE_ARGS:-} >/dev/null
fi
cmake --build "$build"
