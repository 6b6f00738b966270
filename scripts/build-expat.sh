#!/bin/bash
# Static expat for x86_64-w64-mingw32, installed into $1: the XML parser
# benchmark links it, to set our parser beside a well-known one, and the tests'
# scripted XMPP server reads the client with it. Never shipped.
# Built with DTD support off: XMPP forbids DTDs, and with it on one of Debian's
# patches does not compile in the CMake build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${1:-$root/build/deps}
work=${2:-$prefix/work-expat}
if [ -f "$prefix/lib/libexpat.a" ]; then echo "expat already in $prefix"; exit 0; fi
mkdir -p "$work"
src=$("$root/scripts/fetch-debian-source.sh" expat "$work/dl")
rm -rf "$work/src"
case "$src" in
  # applies debian/patches (the CVE fixes); see build-libpng.sh about the signature.
  *.dsc) dpkg-source -x "$src" "$work/src" >"$work/extract.log" 2>&1 ;;
  *)     mkdir -p "$work/src" && tar xzf "$src" -C "$work/src" --strip-components=1 ;;
esac
# The CMake project is the expat/ folder of the source tree.
cmake_src=$work/src
[ -f "$cmake_src/expat/CMakeLists.txt" ] && cmake_src=$cmake_src/expat
cmake -S "$cmake_src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DEXPAT_SHARED_LIBS=OFF -DEXPAT_DTD=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
  -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF >"$work/configure.log"
cmake --build "$work/build" >"$work/build.log"
cmake --install "$work/build" >"$work/install.log"
echo "expat installed in $prefix"
