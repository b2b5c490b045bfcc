#!/usr/bin/env bash
# Builds the program into build/ and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
if [ -x build/bin/RT62MWin ]; then
    exec build/bin/RT62MWin "$@"
fi
# No window yet: show the factory image the window would open with.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
build/bin/rt62m new --band 0 -o "$tmp/RT62Mvhf1.r62"
build/bin/rt62m channels "$tmp/RT62Mvhf1.r62"
echo
build/bin/rt62m report "$tmp/RT62Mvhf1.r62"
