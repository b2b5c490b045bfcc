# Shared by the scripts, sourced (never run): the top of the checkout, the check suites' failure
# messages, a scratch folder and the cleanup of everything a script started (each by its own id), a
# private X display, and Wine's environment.
#   . "$(dirname "$0")/lib.sh"       from scripts/
#   . "$(dirname "$0")/../lib.sh"    from scripts/check/
# shellcheck shell=bash disable=SC2034  # the variables are for the scripts that source this

# The top of the checkout, and the script's name for its messages ("wine-check: ...").
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
me=$(basename "$0" .sh)

# A failed check is told at once and counted, and the script goes on with the next; finish sums up.
failures=0
fail() {
    echo "$me: FAILED: $*" >&2
    failures=$((failures + 1))
}
# A failed check after which nothing more can be checked.
fail_now() {
    fail "$@"
    exit 1
}
# The script cannot run as asked (something to build or install first).
die() {
    echo "$me: $*" >&2
    exit 1
}
# The last line of a check suite; exit status 1 when any check failed.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$me: $failures check(s) failed" >&2
        exit 1
    fi
    echo "$me: $*"
}

# What runs when the script ends, however it ends, the last registered first: the processes it
# started, stopped by their ids, and commands such as the removal of the scratch folder.
at_exit_list=()
run_at_exit() { at_exit_list+=("cmd:$*"); }
stop_at_exit() { at_exit_list+=("pid:$1"); }
# A process group (started with setsid): the group leader's id.
stop_group_at_exit() { at_exit_list+=("pid:-$1"); }
# A process that has ended already: its id may soon be another's.
forget() {
    local i
    for i in "${!at_exit_list[@]}"; do
        [ "${at_exit_list[i]}" = "pid:$1" ] && unset 'at_exit_list[i]'
    done
    return 0
}
# Whether a process, or with -ID a process group, still runs (a child that ended, not yet waited for,
# does not).
running() {
    if [ "${1:0:1}" = - ]; then
        kill -0 -- "$1" 2>/dev/null
    else
        [ -r "/proc/$1/stat" ] && ! sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | grep -q '^Z'
    fi
}
# Stops a process (or with -ID a process group) this script started: TERM, up to 5 s, then KILL.
stop_process() {
    local id=$1
    if kill -TERM -- "$id" 2>/dev/null; then
        for _ in $(seq 50); do
            running "$id" || break
            sleep 0.1
        done
        kill -KILL -- "$id" 2>/dev/null || true
    fi
    wait "${id#-}" 2>/dev/null || true
}
# Stops it now, and not again at the end.
stop_now() {
    stop_process "$1"
    forget "$1"
}
at_exit() {
    local keys=("${!at_exit_list[@]}") i entry
    for ((i = ${#keys[@]} - 1; i >= 0; i--)); do
        entry=${at_exit_list[${keys[i]}]}
        case $entry in
            pid:*) stop_process "${entry#pid:}" ;;
            cmd:*) eval "${entry#cmd:}" || true ;;
        esac
    done
}
trap at_exit EXIT
trap 'exit 130' INT TERM

# A scratch folder, $work, removed at the end once all else has stopped.
make_work() {
    work=$(mktemp -d)
    run_at_exit 'rm -rf "$work"'
}

# A private X server (Xvfb picks a display number no other server has) for the rest of the script:
# exports DISPLAY. Needs $work.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    stop_at_exit $!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || { echo "$me: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
    DISPLAY=":$(head -n1 "$work/display")"
    export DISPLAY
}

# Wine from Debian's wine64.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# Wine with its prefix in folder $1, without its own messages and without offering to install Mono
# and Gecko. A caller's own WINEDEBUG or WINEDLLOVERRIDES is kept (WINEDEBUG=err+all shows Wine's errors).
wine_env() {
    export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}
# Sets the prefix up on its first use; of two first runs at once, one waits for the other.
wine_boot() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1
    ) 9>"$WINEPREFIX.lock"
}
# A new prefix in folder $1 for this script alone, set up; its Wine processes end with the script.
wine_fresh_prefix() {
    wine_env "$1"
    run_at_exit "WINEPREFIX=$(printf %q "$1") \"\$wineserver\" -k 2>/dev/null"
    wine_boot
}
