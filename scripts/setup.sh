#!/bin/bash
# Installs what a fresh Debian 12 machine lacks to build and test JOV, then
# cross-builds libpng (and expat, for the XML parser's benchmark and the
# tests' scripted XMPP server) from Debian's source archive into build/deps.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

PKGS=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
      wine wine64 fonts-wine xvfb imagemagick googletest dpkg-dev python3 openssl ca-certificates
      tinyproxy dante-server microsocks ejabberd prosody python3-slixmpp)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # The test peers (proxies, XMPP servers) are started by the tests
  # themselves: keep apt from starting them as system daemons.
  if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' >/usr/sbin/policy-rc.d
    chmod +x /usr/sbin/policy-rc.d
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

"$root/scripts/build-libpng.sh" "$root/build/deps"
"$root/scripts/build-expat.sh" "$root/build/deps"
