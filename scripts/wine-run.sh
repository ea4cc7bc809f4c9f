#!/usr/bin/env bash
# Runs a Windows program under wine64 in a throwaway prefix of the build:
#
#   scripts/wine-run.sh PROGRAM.exe [arguments...]
#
# WINEPREFIX defaults to wine/ beside this script's caller's build (PELKAR_WINE_PREFIX, else
# the current directory's wine-prefix/). The prefix is made on first use: no Mono or Gecko
# prompts, and Managed=N so that a window's hide or destroy does not wait for a window manager.
set -euo pipefail

export WINEPREFIX="${PELKAR_WINE_PREFIX:-${WINEPREFIX:-$PWD/wine-prefix}}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
export WINEDEBUG="${WINEDEBUG:--all}"

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine="$(command -v wine64 || command -v wine)"

if [ ! -f "$WINEPREFIX/.pelkar-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    # One preparer at a time; the others wait and find the prefix ready.
    flock 9
    if [ ! -f "$WINEPREFIX/.pelkar-ready" ]; then
      env -u DISPLAY "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >/dev/null 2>&1
      "${wine%64}server" -w 2>/dev/null || wineserver -w
      touch "$WINEPREFIX/.pelkar-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec "$wine" "$@"
