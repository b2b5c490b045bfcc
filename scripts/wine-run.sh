#!/usr/bin/env bash
# Runs one Windows program under Wine, as ctest does for the Windows build (its emulator): one Wine
# prefix for the whole build (build-win/wine, made on first use), Wine's own messages off.
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
. "$(dirname "$0")/lib.sh"
wine_env "${RT62M_WINEPREFIX:-$top/build-win/wine}"
# Wine hands a Unix variable named QT_* to Windows programs only when spelled WINEQT_* (it keeps
# the host's Qt settings away from Windows Qt), so the tests' QT_QPA_PLATFORM=offscreen is passed on that way.
for v in $(compgen -e | grep '^QT_' || true); do
    export "WINE$v=${!v}"
done
wine_boot
exec "$wine" "$@"
