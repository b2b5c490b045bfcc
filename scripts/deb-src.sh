#!/usr/bin/env bash
# Adds a deb-src line for each deb line already configured, once, so that `apt-get source` finds
# Debian's source packages (the Windows and WebAssembly libraries are built from them).
# Usage: scripts/deb-src.sh PACKAGE (a source package to look for; nothing is done when it is found)
set -euo pipefail
apt-cache showsrc "$1" 2>/dev/null | grep -q '^Version:' && exit 0
if [ "$(id -u)" -ne 0 ]; then
    echo "deb-src.sh: no deb-src entry; run as root once to add it" >&2
    exit 1
fi
src_list=/etc/apt/sources.list.d/rt62m-deb-src.sources
{
    for f in /etc/apt/sources.list.d/*.sources; do
        [ "$f" = "$src_list" ] && continue
        sed -e 's/^Types:.*\bdeb\b.*$/Types: deb-src/' "$f"
        echo
    done
} >"$src_list.tmp"
mv "$src_list.tmp" "$src_list"
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list >/etc/apt/sources.list.d/rt62m-deb-src.list
fi
apt-get update -qq >&2
