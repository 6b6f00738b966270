#!/bin/bash
# Static libpng (+ static zlib from libz-mingw-w64-dev) for x86_64-w64-mingw32, installed into $1.
# usage: build-libpng.sh [prefix] [work] [cmake options...]
# Options given replace the cross toolchain (scripts/fuzz.sh builds it natively so).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${1:-$root/build/deps}
work=${2:-$prefix/work}
shift $(( $# < 2 ? $# : 2 ))
target=("$@")
[ ${#target[@]} -gt 0 ] || target=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake")
if [ -f "$prefix/lib/libpng16.a" ]; then echo "libpng already in $prefix"; exit 0; fi
mkdir -p "$work"
src=$("$root/scripts/fetch-debian-source.sh" libpng1.6 "$work/dl")
rm -rf "$work/src"
case "$src" in
  # applies debian/patches (the CVE fixes). "cannot verify inline signature" is expected without
  # debian-keyring: apt already checked the files against the signed Sources index.
  *.dsc) dpkg-source -x "$src" "$work/src" >"$work/extract.log" 2>&1 ;;
  *)     mkdir -p "$work/src" && tar xzf "$src" -C "$work/src" --strip-components=1 ;;
esac
cmake -S "$work/src" -B "$work/build" -G Ninja "${target[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_USE_STATIC_LIBS=ON >"$work/configure.log"
cmake --build "$work/build" >"$work/build.log"
cmake --install "$work/build" >"$work/install.log"
echo "libpng installed in $prefix"
