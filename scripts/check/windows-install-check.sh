#!/usr/bin/env bash
# The Windows installer as a user meets it, in a fresh Wine prefix: a silent install, the files, the
# Start-menu entry, the .r62 file type and the Apps entry; the installed programs answer as the Linux
# build does; on an X display (Xvfb) the window starts with its default file and a double-clicked
# .r62 opens in that window; the silent uninstall leaves the prefix as it was, a data file the user
# saved into the program's folder included. On a French system (LANG=fr_FR.UTF-8) the installer asks in
# French and the installed window speaks it, in the words of NSIS's French file and of i18n/fr.po.
# Usage: scripts/check/windows-install-check.sh   (after scripts/windows-package.sh)
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../lib.sh
. "$(dirname "$0")/../lib.sh"
cd "$top"
version=$(sed -n 's/^set(RT62M_VERSION "\(.*\)")$/\1/p' CMakeLists.txt)
setup=$top/build-win/package/RT62MWin-$version-setup.exe
linux=$top/build/bin
[ -f "$setup" ] || die "$setup is missing"
scripts/deps.sh wine64 xvfb x11-utils locales
make_work
wine_fresh_prefix "$work/prefix"
"$wineserver" -w
cd "$work"

# What is in the prefix's C: drive and registry, less what Wine itself changes as it runs.
snapshot() {
    # Temp holds the uninstaller's own copy until the next start; the settings the window wrote are
    # the user's and stay (checked below).
    (cd "$WINEPREFIX/drive_c" && find . \( -path ./windows -o -path './users/*/Temp' -o \
        -path './users/*/AppData/Roaming/RT62MWin' \) -prune -o -print | sort)
    for key in 'HKLM\Software\Classes\.r62' 'HKLM\Software\Classes\RT62MWin.DataFile' 'HKLM\Software\RT62MWin' \
               'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\RT62MWin'; do
        "$wine" reg query "$key" /s 2>/dev/null | tr -d '\r' | sed "s|^|$key: |" || true
    done
}
reg_value() { # key, value name (empty: the default value)
    local args=(/v "$2")
    [ -z "$2" ] && args=(/ve)
    "$wine" reg query "$1" "${args[@]}" 2>/dev/null | tr -d '\r' | sed -n 's/^ *[^ ].*REG_[A-Z_]* *//p' | head -n 1
}

snapshot >before.txt
dir='C:\Program Files\RT62MWin'
unix_dir=$WINEPREFIX/drive_c/Program\ Files/RT62MWin
"$wine" "$setup" /S "/D=$dir" >/dev/null 2>&1 || fail "the silent install failed"
"$wineserver" -w

for f in RT62MWin.exe rt62m.exe Uninstall.exe qt.conf platforms/qwindows.dll styles/qwindowsvistastyle.dll \
         Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll Qt6Network.dll \
         RT62Mvhf1.r62 RT62Mvhf2.r62 RT62Muhf1.r62 RT62Muhf2.r62; do
    [ -f "$unix_dir/$f" ] || fail "not installed: $f"
done
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/RT62MWin.lnk" ] ||
    fail "no Start-menu entry"
[ "$(reg_value 'HKLM\Software\Classes\.r62' '')" = RT62MWin.DataFile ] || fail ".r62 is not RT62MWin's file type"
open_command=$(reg_value 'HKLM\Software\Classes\RT62MWin.DataFile\shell\open\command' '')
[ "$open_command" = "\"$dir\\RT62MWin.exe\" \"%1\"" ] || fail "the .r62 open command is '$open_command'"
uninstall=$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\RT62MWin' UninstallString)
[ "$uninstall" = "\"$dir\\Uninstall.exe\"" ] || fail "the Apps entry's uninstaller is '$uninstall'"
[ "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\RT62MWin' DisplayVersion)" = "$version" ] ||
    fail "the Apps entry does not show version $version"

# The installed programs answer as the Linux build does.
"$wine" "$unix_dir/RT62MWin.exe" --version >win-version.txt 2>&1 || fail "RT62MWin.exe --version failed"
"$linux/RT62MWin" --version >linux-version.txt 2>&1
diff <(tr -d '\r' <win-version.txt) linux-version.txt >/dev/null || fail "RT62MWin.exe --version: $(cat win-version.txt)"
cp "$linux/RT62Mvhf1.r62" "$linux/RT62Muhf2.r62" .
for args in "export RT62Mvhf1.r62" "export RT62Muhf2.r62" "diff RT62Mvhf1.r62 RT62Muhf2.r62"; do
    # shellcheck disable=SC2086
    "$wine" "$unix_dir/rt62m.exe" $args >win.out 2>&1 && echo 0 >win.rc || echo $? >win.rc
    # shellcheck disable=SC2086
    "$linux/rt62m" $args >linux.out 2>&1 && echo 0 >linux.rc || echo $? >linux.rc
    cmp -s <(tr -d '\r' <win.out) linux.out && cmp -s win.rc linux.rc || fail "rt62m.exe $args differs from Linux"
done
"$linux/rt62m" export RT62Muhf2.r62 -o uhf2.yaml
"$wine" "$unix_dir/rt62m.exe" import uhf2.yaml -o back.r62 >/dev/null 2>&1 || fail "rt62m.exe import failed"
cmp -s back.r62 RT62Muhf2.r62 || fail "rt62m.exe import: not the bytes the text came from"

# The window on an X display of its own, through Wine's own window system and Qt's Windows platform.
start_xvfb
# The programs above ran without a display; Wine keeps their desktop (without one) for a few seconds
# after, and a window started into it would never reach the X display.
"$wineserver" -w
# Waits for a top-level window whose title matches the pattern; prints the titles of the program's
# main windows (the part in quotes that names the program).
window_titles() { xwininfo -root -tree 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "\(.* - RT62MWin for KT-905\)".*/\1/p'; }
wait_for_window() { # up to 90 s: Wine's first window on a display sets up its desktop first
    for _ in $(seq 180); do
        window_titles | grep -qE "$1" && return 0
        sleep 0.5
    done
    return 1
}
# As the Start-menu entry starts it (from the program folder, no file): the default data file.
(cd "$unix_dir" && exec "$wine" RT62MWin.exe >"$work/app.log" 2>&1) &
app_pid=$!
stop_at_exit "$app_pid"
wait_for_window '^C:\\Program Files\\RT62MWin\\RT62Mvhf1\.r62 - ' ||
    fail "the window did not open the default file: $(window_titles) $(tr -d '\r' <"$work/app.log" | tail -3)"
# A double-clicked .r62 goes through the file type's open command; the running window takes it.
mkdir -p "$WINEPREFIX/drive_c/Radios"
cp "$linux/RT62Muhf2.r62" "$WINEPREFIX/drive_c/Radios/fleet one.r62"
"$wine" start 'C:\Radios\fleet one.r62' >/dev/null 2>&1 || fail "start 'fleet one.r62' failed"
wait_for_window '^C:\\Radios\\fleet one\.r62 - ' ||
    fail "the double-clicked file did not open in the window: $(window_titles)"
[ "$(window_titles | wc -l)" -eq 1 ] || fail "more than one window: $(window_titles | tr '\n' ';')"
"$wineserver" -k 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
forget "$app_pid"

# In French. Every top-level window's title; waits up to 180 s for one that is $1 exactly.
all_titles() { xwininfo -root -tree 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "\(.*[^ ]\) *": (.*/\1/p'; }
wait_for_title() {
    for _ in $(seq 360); do
        all_titles | grep -qxF "$1" && return 0
        sleep 0.5
    done
    return 1
}
# The installer's caption as NSIS's French file words it, and the window's title as i18n/fr.po does.
caption=$(sed -n '/^# \^SetupCaption$/{n;p;q}' "/usr/share/nsis/Contrib/Language files/French.nlf")
caption=${caption//'$(^Name)'/RT62MWin $version}
fr_title=$(/usr/bin/python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import po_catalogue as p
print(p.read_po(sys.argv[2])[1][1007][1])' "$top/cmake" "$top/i18n/fr.po")
[ -n "$caption" ] && [ -n "$fr_title" ] || fail "no French caption or title to look for"
# Wine takes the system's language from the C library's locale: a French one made for this check alone.
mkdir -p "$work/locale"
localedef -i fr_FR -f UTF-8 "$work/locale/fr_FR.UTF-8" >/dev/null 2>&1 || fail "cannot make the fr_FR.UTF-8 locale"
# The prefix takes the new language once, before the programs (Wine updates its settings for it).
LOCPATH=$work/locale LANG=fr_FR.UTF-8 LC_ALL='' LANGUAGE='' "$wine" wineboot -u >/dev/null 2>&1 || true
"$wineserver" -w
LOCPATH=$work/locale LANG=fr_FR.UTF-8 LC_ALL='' LANGUAGE='' "$wine" "$setup" >/dev/null 2>&1 &
setup_pid=$!
stop_at_exit "$setup_pid"
wait_for_title "$caption" || fail "the installer did not ask in French: $(all_titles | tr '\n' ';')"
"$wineserver" -k 2>/dev/null || true
wait "$setup_pid" 2>/dev/null || true
forget "$setup_pid"
"$wineserver" -w
# The window stopped above by wineserver -k left its single-copy lock; Wine hands out small process ids
# again, so the lock could look held by a live copy and the new window would hand its file over and end.
find "$WINEPREFIX/drive_c/users" -name 'RT62MWin*.lock' -delete
(cd "$unix_dir" && LOCPATH=$work/locale LANG=fr_FR.UTF-8 LC_ALL='' LANGUAGE='' exec "$wine" RT62MWin.exe >"$work/app-fr.log" 2>&1) &
app_pid=$!
stop_at_exit "$app_pid"
wait_for_title "C:\\Program Files\\RT62MWin\\RT62Mvhf1.r62 - $fr_title" ||
    fail "the installed window does not speak French: $(all_titles | tr '\n' ';') $(tr -d '\r' <"$work/app-fr.log" | tail -3)"
"$wineserver" -k 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
forget "$app_pid"

# The user's own files in the program folder stay; all else goes.
cp "$linux/RT62Mvhf2.r62" "$unix_dir/my radio.r62"
"$wine" "$unix_dir/Uninstall.exe" /S >/dev/null 2>&1 || fail "the silent uninstall failed"
"$wineserver" -w
[ -f "$unix_dir/my radio.r62" ] || fail "the uninstaller removed the user's data file"
cmp -s "$unix_dir/my radio.r62" "$linux/RT62Mvhf2.r62" || fail "the user's data file changed"
rm -f "$unix_dir/my radio.r62"
rmdir "$unix_dir" 2>/dev/null || fail "the uninstaller left: $(cd "$unix_dir" && find . -type f | head -5 | tr '\n' ' ')"
ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/RT62MWin/RT62MWin.ini >/dev/null 2>&1 ||
    fail "the user's settings file is gone"
rm -rf "$WINEPREFIX/drive_c/Radios" # the user's, made above
snapshot >after.txt
diff before.txt after.txt >prefix.diff || fail "the prefix is not as it was: $(head -8 prefix.diff | tr '\n' ' ')"

finish "the installer installs, registers, runs and uninstalls cleanly under Wine"
