#!/bin/bash
# Wine session for running and testing JOV:  wine-session.sh start|stop
#   start: Xvfb when there is no display, a prefix set up as the pocket screen
#          (created on first use), a persistent wineserver with its services
#          booted away from the caller's pipes, no audio driver on a machine
#          without a sound device. Prints the exports to eval.
#   JOV_SCREEN=vga: 480x640 at 192 dpi instead of 240x320 at 96 dpi.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
screen=${JOV_SCREEN:-qvga}
case $screen in
  qvga) size=240x320 dpi=96 ;;
  vga)  size=480x640 dpi=192 ;;
  *) echo "JOV_SCREEN is qvga or vga" >&2; exit 2 ;;
esac
: "${WINEPREFIX:=$root/build/wineprefix-$screen}"; export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all,err+module} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe,mscoree,mshtml,winedbg.exe=}
WINE=/usr/lib/wine/wine64
state=$root/build/session-$screen
mkdir -p "$state"

case ${1:-start} in
start)
  if [ -z "${DISPLAY:-}" ]; then
    xvfb=$(cat "$state/xvfb.pid" 2>/dev/null || true)
    if [ -n "$xvfb" ] && [ "$(cat "/proc/$xvfb/comm" 2>/dev/null)" = Xvfb ] && [ -s "$state/xvfb.display" ]; then
      # A session of this tree is up: share its display rather than leave one
      # Xvfb behind that no stop would end.
      :
    else
      # Before any Wine process: a Wine session begun without a display never shows a window.
      rm -f "$state/xvfb.display"
      Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$state/xvfb.display" </dev/null >/dev/null 2>&1 &
      echo $! > "$state/xvfb.pid"
      for _ in $(seq 200); do [ -s "$state/xvfb.display" ] && break; sleep 0.05; done
    fi
    export DISPLAY=:$(tr -d '\n' < "$state/xvfb.display")
  fi
  if [ ! -f "$WINEPREFIX/.jov-$size-$dpi" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$WINE" wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
    # Wine does not find Debian's fonts-wine files by itself.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    reg=$state/screen.reg
    sed -e "s/@SIZE@/$size/" -e "s/@DPI@/$(printf '%08x' "$dpi")/" "$root/scripts/wine-screen.reg" > "$reg"
    "$WINE" regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "$reg")" </dev/null >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.jov-$size-$dpi"
  fi
  wineserver -p </dev/null >/dev/null 2>&1 || true
  "$WINE" wineboot </dev/null >/dev/null 2>&1
  # Without a sound device the audio library prints its errors into the
  # terminal at every sound played: then the session has no audio driver (the
  # program's sound calls still run and say so in its debug lines). A machine
  # with one keeps Wine's choice. Set once per prefix, again when it changes.
  if grep -qsv "no soundcards" /proc/asound/cards || [ -n "${PULSE_SERVER:-}" ] ||
     [ -S "${XDG_RUNTIME_DIR:-/nonexistent}/pulse/native" ]; then audio=default; else audio=none; fi
  if [ "$(cat "$WINEPREFIX/.jov-audio" 2>/dev/null)" != "$audio" ]; then
    if [ "$audio" = none ]; then
      "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d '' /f </dev/null >/dev/null 2>&1
    else
      "$WINE" reg delete 'HKCU\Software\Wine\Drivers' /v Audio /f </dev/null >/dev/null 2>&1 || true
    fi
    echo "$audio" > "$WINEPREFIX/.jov-audio"
  fi
  echo "export WINEPREFIX='$WINEPREFIX' DISPLAY='$DISPLAY' WINEDEBUG='$WINEDEBUG' WINEDLLOVERRIDES='$WINEDLLOVERRIDES'"
  ;;
stop)
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid"
  fi
  ;;
esac
