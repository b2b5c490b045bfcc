#!/usr/bin/env bash
# Build check for Windows: cross-compiles the core libraries and rt62m with mingw-w64 into build-win/.
# Installs the cross compiler when missing (as root; otherwise prints the command). No tests, no window.
# Usage: scripts/cross-windows.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh g++-mingw-w64-x86-64-posix
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DRT62M_BUILD_GUI=OFF -DRT62M_BUILD_TESTS=OFF -DRT62M_WERROR=$werror "$@" >/dev/null
cmake --build build-win -j"$(nproc)"
ls -l build-win/bin/rt62m.exe
