#!/usr/bin/env bash
# The Windows build: cross-compiles RT62MWin.exe, rt62m.exe and every test program with mingw-w64 into
# build-win/, against the Qt, yaml-cpp and GoogleTest of scripts/windows-deps.sh (built once per machine),
# and puts beside them the DLLs and plugins they need, so build-win/bin runs as it is under Wine.
# The host build (build/) must be there: its icon drawer and default data files are used.
# Usage: scripts/cross-windows.sh [extra cmake arguments]
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
. "$(dirname "$0")/lib.sh"
cd "$top"
prefix=$(scripts/windows-deps.sh | tail -n 1)
export RT62M_WIN_PREFIX=$prefix
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
host_icons=
[ -x build/packaging/make_icons ] && host_icons=$top/build/packaging/make_icons
cmake -G Ninja -S . -B build-win -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DRT62M_WERROR=$werror \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DRT62M_HOST_MAKE_ICONS="$host_icons" \
      -DCMAKE_CROSSCOMPILING_EMULATOR="$top/scripts/wine-run.sh" "$@" >/dev/null
cmake --build build-win -j"$(nproc)"
# The default data files are the same bytes on every system; the host build makes them.
for f in RT62Mvhf1 RT62Mvhf2 RT62Muhf1 RT62Muhf2; do
    [ -f build/bin/$f.r62 ] && cp build/bin/$f.r62 build-win/bin/
done
scripts/windows-stage.sh build-win/bin "$prefix" --with-test-plugins
ls -l build-win/bin/RT62MWin.exe build-win/bin/rt62m.exe
