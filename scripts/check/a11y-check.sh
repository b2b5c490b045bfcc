#!/usr/bin/env bash
# Reads the running window through the desktop's accessibility bus, as a screen reader would: starts a
# private X server (Xvfb), a D-Bus session with the AT-SPI registry, RT62MWin on a data file, and checks
# with scripts/check/a11y_check.py that the table "Channels" and every one of its cells are named in words,
# and, once in German and once in Chinese, that the menus and the Scanning dialog say the PO files' words.
# Then it listens to the window through Orca, Debian's screen reader, in a second session: with
# scripts/check/a11y_orca.py, keys go to the window and what Orca says (its debug file) must carry every
# control's label and value (see that script for the steps).
# Usage: scripts/check/a11y-check.sh [DATA.R62]
# Without a file it checks one made from the first VHF default file with a channel out of use, tones,
# and other values than the factory ones, and also listens for the names announced when the current cell
# moves. The Orca part always uses that file, whose values it expects to hear.
# Exit status 0 when every name is right and every step was said, 1 with what is wrong listed otherwise.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../lib.sh
. "$(dirname "$0")/../lib.sh"
cd "$top"
scripts/deps.sh xvfb at-spi2-core python3-pyatspi dbus-x11 orca xdotool

bin=build/bin/RT62MWin
rt62m=build/bin/rt62m
[ -x "$bin" ] && [ -x "$rt62m" ] || die "build RT62MWin and rt62m first (cmake --build build)"

# Everything started here is stopped at the end by its id: each session's process group (bus,
# registry, window), then X.
make_work
start_xvfb

# Settings, backups and the single-instance lock stay in the scratch folder.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=0
unset QT_SCALE_FACTOR

[ -f build/bin/RT62Mvhf1.r62 ] || die "no build/bin/RT62Mvhf1.r62 (cmake --build build)"
# Settings of the Scanning and ANI/Speed Dial dialogs other than the factory ones, which Orca must say.
"$rt62m" import --base build/bin/RT62Mvhf1.r62 -o "$work/check.r62" - <<'YAML'
format: rt62m-1
scanning:
  dial_scan_position: Ch3
  priority_channel: Ch5
  scan_resume_time_1: 0.5 Secs
  dual_watch: Enabled
  revert_channel: Last Busy Channel
  scan_speed: 15CH/sec
ani:
  ani_transmit: PTT Pressed
  dtmf_delay: 500 msec
  dtmf_speed: 33 msec
  dtmf_code: "123A"
channels:
  2:
    in_use: false
  3:
    receive: 146.52000
    wide: false
    decode: C-100.0
    encode: D-023
    power: low
    scan: true
    lock_out: BC
    squelch: 9
    two_tone_s: true
  5:
    decode: D-023
    encode: D-023
    prox: true
    lock_out: BT
YAML
expect=()
if [ $# -ge 1 ]; then
    data=$1
    [ -f "$data" ] || die "no data file $data"
else
    data="$work/check.r62"
    expect=(--expect "Channel 3, Receive, 146.52000 MHz" --expect "Channel 2, not in use, Receive, 150.00000 MHz"
            --expect "Channel 3, Decode, CTCSS 100.0 Hz" --expect "Channel 3, Scan, on"
            --expect "Channel 2, Type, not in use" --expect "Channel 5, PROX, on")
fi
# Debian's python3, where python3-pyatspi is installed (not whatever python3 comes first in PATH).
# Its own process group, so the cleanup reaches the buses and services the session starts.
set +e
setsid timeout -k 5 150 dbus-run-session -- \
    /usr/bin/python3 scripts/check/a11y_check.py --program "$bin" --file "$data" --cli "$rt62m" "${expect[@]}" \
    --log "$work/window.log" 2> >(grep -v -e '^dbus-daemon\[' -e '^SpiRegistry daemon' >&2) &
session_pid=$!
stop_group_at_exit "$session_pid"
wait "$session_pid"
status=$?
set -e
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "a11y-check: timed out" >&2
fi
[ "$status" -eq 0 ] || { echo "--- window output:" >&2; cat "$work/window.log" >&2 2>/dev/null || true; }
[ "$status" -eq 0 ] || exit "$status"

# The menus and a dialog in German and in Chinese, each in a session of its own.
for language in de zh_CN; do
    set +e
    setsid timeout -k 5 120 dbus-run-session -- \
        /usr/bin/python3 scripts/check/a11y_check.py --program "$bin" --file "$data" --language "$language" \
        --log "$work/window-$language.log" 2> >(grep -v -e '^dbus-daemon\[' -e '^SpiRegistry daemon' >&2) &
    session_pid=$!
    stop_group_at_exit "$session_pid"
    wait "$session_pid"
    status=$?
    set -e
    if [ "$status" -ne 0 ]; then
        echo "--- window output ($language):" >&2
        cat "$work/window-$language.log" >&2 2>/dev/null || true
        exit "$status"
    fi
done

# Orca in a session of its own (a screen reader started on a bus that has seen no other client).
mkdir -p "$work/orca"
set +e
setsid timeout -k 5 240 dbus-run-session -- \
    /usr/bin/python3 scripts/check/a11y_orca.py --program "$bin" --file "$work/check.r62" --work "$work/orca" \
    2> >(grep -v -e '^dbus-daemon\[' -e '^SpiRegistry daemon' >&2) &
session_pid=$!
stop_group_at_exit "$session_pid"
wait "$session_pid"
status=$?
set -e
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "a11y-check: Orca's session timed out" >&2
fi
if [ "$status" -ne 0 ]; then
    echo "--- what Orca said:" >&2
    grep -o "SPEECH OUTPUT: .*" "$work/orca/orca.log" 2>/dev/null | tail -n 80 >&2 || true
    echo "--- window output:" >&2
    cat "$work/orca/window.log" >&2 2>/dev/null || true
fi
exit "$status"
