#!/usr/bin/env bash
# The browser edition: builds the core with Debian's emscripten into build-web/ (yaml-cpp and GoogleTest
# for WebAssembly from scripts/web-deps.sh, built once per machine), runs the core's tests under node,
# assembles build-web/RT62MWeb.html (one file, the WebAssembly inside) and runs the page's tests in
# headless Chromium (puppeteer-core, pinned in tests/web/package-lock.json).
# Usage: scripts/web-build.sh [--no-tests]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh chromium ninja-build >&2
prefix=$(scripts/web-deps.sh | tail -n 1)
# emscripten's linker runs JavaScript tools that need Debian's node modules.
export NODE_PATH=/usr/share/nodejs
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# node 18 and later fetch the tests' .wasm files over the network unless told not to.
emcmake cmake -G Ninja -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DRT62M_WERROR=$werror \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" "${launcher[@]}" \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=$(command -v node);--no-experimental-fetch" >/dev/null
cmake --build build-web -j"$(nproc)"
ls -l build-web/RT62MWeb.html
[ "${1:-}" = "--no-tests" ] && exit 0
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
# With the desktop build beside it (scripts/test.sh builds it first), the page's saved bytes are held
# against the bytes rt62m writes for the same document.
[ -x build/bin/rt62m ] && export RT62M_CLI="$PWD/build/bin/rt62m"
(cd build-web && ctest --output-on-failure -j"$(nproc)" --timeout 600)
