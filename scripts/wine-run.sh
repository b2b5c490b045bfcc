#!/usr/bin/env bash
# Runs one Windows program under Wine, as ctest does for the Windows build (its emulator): one Wine
# prefix for the whole build (build-win/wine, made on first use), Wine's own messages off.
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${RT62M_WINEPREFIX:-$top/build-win/wine}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine=/usr/lib/wine/wine64
# Wine hands a Unix variable named QT_* to Windows programs only when spelled WINEQT_* (it keeps
# the host's Qt settings away from Windows Qt), so the tests' QT_QPA_PLATFORM=offscreen is passed on that way.
for v in $(compgen -e | grep '^QT_' || true); do
    export "WINE$v=${!v}"
done
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # Two first runs at once would both set the prefix up; one waits for the other.
    exec 9>"$WINEPREFIX.lock"
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1
    flock -u 9
fi
exec "$wine" "$@"
