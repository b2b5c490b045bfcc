#!/usr/bin/env bash
# Builds yaml-cpp and GoogleTest for WebAssembly with Debian's emscripten, once per machine, into a
# cache folder outside the checkout: $RT62M_CACHE (default ~/.cache/rt62m), in a folder named after the
# emscripten, yaml-cpp and GoogleTest versions, so a second run finds it and takes a second.
# Prints the prefix folder on its last line.
# Usage: scripts/web-deps.sh
set -euo pipefail
cd "$(dirname "$0")/.."
# dpkg-source unpacks the source package; the GoogleTest sources are Debian's own.
scripts/deps.sh emscripten dpkg-dev googletest >&2
cache=${RT62M_CACHE:-$HOME/.cache/rt62m}
mkdir -p "$cache"
jobs=$(nproc)
# emscripten's linker runs JavaScript tools that need Debian's node modules.
export NODE_PATH=/usr/share/nodejs

scripts/deb-src.sh yaml-cpp

em_version=$(dpkg-query -W -f='${Version}' emscripten)
yaml_version=$(apt-cache showsrc yaml-cpp | sed -n 's/^Version: //p' | sort -V | tail -n 1)
gtest_version=$(dpkg-query -W -f='${Version}' googletest)
prefix=$cache/wasm-em$em_version-yaml$yaml_version-gtest$gtest_version
prefix=${prefix//[:~+]/_}
mkdir -p "$prefix"

# Configures, builds and installs one source tree into the prefix, once: NAME SOURCE [CMAKE ARGS...].
# yaml-cpp reports errors by exception, so everything is built with them on.
build_once() {
    local name=$1 src=$2 build=$cache/build-wasm-$1
    shift 2
    [ -f "$prefix/.$name-done" ] && return 0
    rm -rf "$build"
    emcmake cmake -S "$src" -B "$build" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_FLAGS=-fexceptions "$@" >&2
    cmake --build "$build" -j"$jobs" >&2
    cmake --install "$build" >&2
    rm -rf "$build"
    touch "$prefix/.$name-done"
}

if [ ! -f "$prefix/.yaml-done" ]; then
    dir=$cache/src-yaml-cpp-${yaml_version//[:~+]/_}
    mkdir -p "$dir"
    (cd "$dir" && [ -n "$(find . -maxdepth 1 -mindepth 1 -type d)" ] || apt-get source -qq yaml-cpp >&2)
    src=$(find "$dir" -maxdepth 1 -mindepth 1 -type d | head -n 1)
    build_once yaml "$src" -DYAML_BUILD_SHARED_LIBS=OFF -DYAML_CPP_BUILD_TESTS=OFF \
        -DYAML_CPP_BUILD_TOOLS=OFF -DYAML_CPP_BUILD_CONTRIB=OFF
fi
# A page has no threads: GoogleTest without them.
build_once gtest /usr/src/googletest -Dgtest_disable_pthreads=ON
echo "$prefix"
