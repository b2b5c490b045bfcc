#!/usr/bin/env bash
# Checks what a Linux user gets from build/: installs into a temporary prefix and checks the layout with
# the desktop, AppStream and MIME tools; builds the Debian package, runs lintian on it, unpacks it and
# runs the programs from there, the window offscreen with a fresh home folder.
# Usage: scripts/check/package-check.sh   (after build/ is built)
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../lib.sh
. "$(dirname "$0")/../lib.sh"
cd "$top"
scripts/deps.sh
build=$top/build
[ -x "$build/bin/RT62MWin" ] || die "build/ has no RT62MWin; build it first"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
arch=$(dpkg --print-architecture)

make_work

# The install layout.
prefix=$work/install/usr
cmake --install "$build" --prefix "$prefix" >/dev/null
expected=(bin/rt62m bin/RT62MWin
          share/rt62mwin/RT62Mvhf1.r62 share/rt62mwin/RT62Mvhf2.r62
          share/rt62mwin/RT62Muhf1.r62 share/rt62mwin/RT62Muhf2.r62
          share/applications/rt62mwin.desktop share/mime/packages/rt62mwin.xml
          share/metainfo/rt62mwin.metainfo.xml share/icons/hicolor/scalable/apps/rt62mwin.svg
          share/man/man1/rt62m.1.gz share/man/man1/RT62MWin.1.gz
          share/bash-completion/completions/rt62m
          share/doc/rt62mwin/copyright share/doc/rt62mwin/changelog.gz)
for size in 16 32 48 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/rt62mwin.png")
done
for f in "${expected[@]}"; do
    [ -f "$prefix/$f" ] || fail_now "not installed: $f"
done
for size in 16 32 48 128 256; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/rt62mwin.png" | grep -q "PNG image data, $size x $size," ||
        fail_now "the ${size}x${size} icon is not a PNG of that size"
done
[ -z "$(find "$prefix/bin" -name '*.r62')" ] || fail_now "data files installed beside the programs"
for f in "$prefix"/share/rt62mwin/*.r62; do
    [ "$(stat -c %s "$f")" -eq 262 ] || fail_now "$f is not a 262-byte data file"
done

desktop-file-validate "$prefix/share/applications/rt62mwin.desktop"
grep -qx 'MimeType=application/x-rt62m-data;' "$prefix/share/applications/rt62mwin.desktop" ||
    fail_now "the desktop entry does not name the data file type"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/rt62mwin.metainfo.xml" >/dev/null ||
    appstreamcli validate --no-net "$prefix/share/metainfo/rt62mwin.metainfo.xml"
XDG_DATA_DIRS=$prefix/share update-mime-database "$prefix/share/mime"
grep -qi 'application/x-rt62m-data:\*\.r62' "$prefix/share/mime/globs2" || fail_now "no file type for *.r62"
for page in rt62m RT62MWin; do
    out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$out" ] || fail_now "$page.1: $out"
done
bash -n "$prefix/share/bash-completion/completions/rt62m"

# The package.
rm -f "$build"/rt62mwin_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.txt" 2>&1) || fail_now "cpack: $(tail -20 "$work/cpack.txt")"
deb=$build/rt62mwin_${version}_${arch}.deb
[ -f "$deb" ] || fail_now "cpack did not make $(basename "$deb"): $(ls "$build"/*.deb 2>/dev/null)"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail_now "the package depends on no Qt libraries"
lintian --fail-on error "$deb" >"$work/lintian.txt" 2>&1 || fail_now "lintian: $(cat "$work/lintian.txt")"
grep -v 'running with root privileges' "$work/lintian.txt" || true

root=$work/unpacked
dpkg-deb -x "$deb" "$root"
for f in "${expected[@]}"; do
    [ -f "$root/usr/$f" ] || fail_now "not in the package: $f"
done
for b in rt62m RT62MWin; do
    readelf -S "$root/usr/bin/$b" | grep -qE '\.symtab|\.debug_info' && fail_now "$b in the package is not stripped"
done

# The programs from the unpacked package.
"$root/usr/bin/rt62m" info "$root/usr/share/rt62mwin/RT62Mvhf1.r62" | grep -q 'Checksum:.*(match)' ||
    fail_now "rt62m from the package cannot read its own default file"
[ "$("$root/usr/bin/RT62MWin" --version)" = "RT62MWin $version" ] || fail_now "RT62MWin --version"

# The window as the desktop menu starts it: working directory the home folder, no settings yet. It
# must stay up, put its settings into the configuration folder, and take a file from a second start.
home=$work/home
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
session=(env -i PATH=/usr/bin:/bin HOME="$home" USER=packagecheck QT_QPA_PLATFORM=offscreen
         XDG_RUNTIME_DIR="$work/runtime")
"${session[@]}" sh -c 'cd "$HOME" && exec "$0"' "$root/usr/bin/RT62MWin" >"$work/window.log" 2>&1 &
window_pid=$!
stop_at_exit "$window_pid"
ini=$home/.config/RT62MWin/RT62MWin.ini
for _ in $(seq 100); do
    [ -s "$ini" ] && break
    sleep 0.1
done
kill -0 "$window_pid" 2>/dev/null || fail_now "the window did not stay up: $(cat "$work/window.log")"
[ -s "$ini" ] || fail_now "the window wrote no settings to $ini"
[ ! -e "$home/RT62MWin.ini" ] || fail_now "the installed window put its settings into the working directory"
cp "$root/usr/share/rt62mwin/RT62Muhf1.r62" "$home/"
"${session[@]}" timeout 30 "$root/usr/bin/RT62MWin" "$home/RT62Muhf1.r62" >>"$work/window.log" 2>&1 ||
    fail_now "a second start did not hand its file over and end: $(cat "$work/window.log")"
# The first window opens it (no message box in the way) and lists it among the recent files.
for _ in $(seq 100); do
    grep -q "RT62Muhf1.r62" "$ini" && break
    sleep 0.1
done
grep -q "=$home/RT62Muhf1.r62\$" "$ini" ||
    fail_now "the first window did not open the file handed over: $(cat "$ini" "$work/window.log")"
kill -0 "$window_pid" 2>/dev/null || fail_now "the first window ended on a second start"
stop_now "$window_pid"

echo "package-check: $(basename "$deb") built, lintian clean of errors, installed layout and programs work"
