#!/usr/bin/env bash
# Runs a Windows program under Wine in a throwaway prefix of the build: wine64's loader, which
# hands a 32-bit program on to Wine's 32-bit loader (Debian's wine32:i386), in a 64-bit prefix
# as on a 64-bit Windows:
#
#   scripts/wine-run.sh PROGRAM.exe [arguments...]
#
# The prefix is PELKAR_WINE_PREFIX, else WINEPREFIX, else wine-prefix/ in the current
# directory. It is made on first use: no Mono or Gecko prompts, and Managed=N so that a
# window's hide or destroy does not wait for a window manager.
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
      # Wine's own fonts (Marlett draws the title bars' buttons), where Windows keeps fonts.
      cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
      "${wine%64}server" -w 2>/dev/null || wineserver -w
      touch "$WINEPREFIX/.pelkar-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec "$wine" "$@"
