#!/usr/bin/env bash
# Reads the running window through the desktop's accessibility bus, as a screen reader would: starts a
# private X server (Xvfb), a D-Bus session with the AT-SPI registry, RT62MWin on a data file, and checks
# with scripts/a11y_check.py that the table "Channels" and every one of its cells are named in words.
# Usage: scripts/a11y-check.sh [DATA.R62]   (default: the first VHF default file beside the program)
# Exit status 0 when every name is right, 1 with the wrong names listed otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh xvfb at-spi2-core python3-pyatspi dbus-x11

bin=build/bin/RT62MWin
data=${1:-build/bin/RT62Mvhf1.r62}
[ -x "$bin" ] || { echo "a11y-check: $bin is not built (cmake --build build)" >&2; exit 1; }
[ -f "$data" ] || { echo "a11y-check: no data file $data" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
session_pid=""
cleanup() {
    # Everything started here, by its id: the session's process group (bus, registry, window), then X.
    if [ -n "$session_pid" ]; then
        kill -TERM -- "-$session_pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 -- "-$session_pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL -- "-$session_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill -TERM "$xvfb_pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$xvfb_pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display number no other X server uses: Xvfb picks it and writes it to the file.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "a11y-check: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# Settings, backups and the single-instance lock stay in the scratch folder.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=0
unset QT_SCALE_FACTOR

rt62m=build/bin/rt62m
[ -x "$rt62m" ] || rt62m=""
# Its own process group, so the cleanup reaches the buses and services the session starts.
set +e
setsid timeout -k 5 150 dbus-run-session -- \
    python3 scripts/a11y_check.py --program "$bin" --file "$data" ${rt62m:+--cli "$rt62m"} --log "$work/window.log" &
session_pid=$!
wait "$session_pid"
status=$?
set -e
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "a11y-check: timed out" >&2
fi
[ "$status" -eq 0 ] || { echo "--- window output:" >&2; cat "$work/window.log" >&2 2>/dev/null || true; }
exit "$status"
