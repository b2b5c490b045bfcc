#!/usr/bin/env bash
# Builds everything into build/ and runs every test; checks the install and the Debian package; then
# every test once more (core, rt62m and the window, offscreen) under AddressSanitizer +
# UndefinedBehaviorSanitizer (build-asan/); then the browser edition (build-web/: the core under node,
# RT62MWeb.html in headless Chromium); then each fuzz target for half a minute (build-fuzz/); then
# the Windows build (build-win/: the window, rt62m and every test program, run under Wine), its
# installer, installed and uninstalled in a fresh Wine prefix. The first run on a machine also builds
# Qt and yaml-cpp for Windows from Debian's sources (about 35 minutes on two cores; cached after).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRT62M_WERROR=$werror >/dev/null
cmake --build build -j"$jobs"
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure -j"$jobs" --timeout 300)
# What an installed program and its Debian package look like and do.
scripts/check/package-check.sh
# The window's accessibility tree as a screen reader reads it, over the real AT-SPI bus under Xvfb.
scripts/check/a11y-check.sh

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DRT62M_WERROR=$werror \
      -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 300)

# The browser edition: the core's tests under node, the page's in headless Chromium.
scripts/web-build.sh

# Half a minute per target keeps the whole run short with five targets; scripts/fuzz.sh alone runs 60 s.
scripts/fuzz.sh all "${FUZZ_SECONDS:-30}"

# Windows: every test again as the Windows build under Wine, rt62m.exe held against the Linux build,
# then the installer.
scripts/cross-windows.sh
scripts/deps.sh wine64
(cd build-win && ctest --output-on-failure -j"$jobs" --timeout 600)
scripts/check/wine-check.sh
scripts/windows-package.sh
scripts/check/windows-install-check.sh
