#!/usr/bin/env bash
# Builds the Windows (mingw-w64) Qt and yaml-cpp from Debian's own source packages, once per machine,
# into a cache folder outside the checkout: $RT62M_CACHE (default ~/.cache/rt62m). Each build is kept in
# a folder named after the Debian source version, so a second run finds it and takes seconds.
# Prints the prefix folder (Qt, yaml-cpp and GoogleTest for Windows) on its last line.
# Usage: scripts/windows-deps.sh
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
# Host Qt tools (moc, rcc, uic) of the same version as the source, the cross compilers, ninja,
# dpkg-source for unpacking, the GoogleTest sources, and the fonts the window's tests use under Wine.
scripts/deps.sh g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
                ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools googletest fonts-dejavu-core >&2
cache=${RT62M_CACHE:-$HOME/.cache/rt62m}
mkdir -p "$cache"
jobs=$(nproc)

# Source packages need a deb-src line for each deb line already configured.
scripts/deb-src.sh qt6-base

srcversion() { apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -n 1; }
qt_version=$(srcversion qt6-base)
yaml_version=$(srcversion yaml-cpp)
gtest_version=$(dpkg-query -W -f='${Version}' googletest)
prefix=$cache/win64-qt$qt_version-yaml$yaml_version-gtest$gtest_version
prefix=${prefix//[:~+]/_}
mkdir -p "$prefix"
export RT62M_MINGW_SHARED_RUNTIME=1   # Qt's DLLs share one C++ runtime DLL
toolchain=$top/cmake/mingw-w64.cmake

fetch_source() {   # package, into folder; prints the unpacked source folder
    local pkg=$1 dir=$2
    mkdir -p "$dir"
    (cd "$dir" && [ -n "$(find . -maxdepth 1 -mindepth 1 -type d)" ] || apt-get source -qq "$pkg" >&2)
    find "$dir" -maxdepth 1 -mindepth 1 -type d | head -n 1
}

# Configures, builds and installs one source tree into the prefix, once: NAME SOURCE [CMAKE ARGS...].
build_once() {
    local name=$1 src=$2 build=$cache/build-$1
    shift 2
    [ -f "$prefix/.$name-done" ] && return 0
    rm -rf "$build"
    cmake -G Ninja -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release "$@" >&2
    cmake --build "$build" -j"$jobs" >&2
    cmake --install "$build" >&2
    rm -rf "$build"
    touch "$prefix/.$name-done"
}

# Qt base: the window's modules for Windows, with its bundled third-party libraries.
if [ ! -f "$prefix/.qt-done" ]; then
    src=$(fetch_source qt6-base "$cache/src-qt6-base-${qt_version//[:~+]/_}")
    # With OpenGL off the Windows platform plugin must not take its dynamic-GL path.
    sed -i -e 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
        "$src/src/plugins/platforms/windows/qwindowswindow.cpp"
    build_once qt "$src" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_openssl=OFF -DFEATURE_zstd=OFF \
        -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
fi

# yaml-cpp as a static library.
if [ ! -f "$prefix/.yaml-done" ]; then
    src=$(fetch_source yaml-cpp "$cache/src-yaml-cpp-${yaml_version//[:~+]/_}")
    build_once yaml "$src" -DYAML_BUILD_SHARED_LIBS=OFF -DYAML_CPP_BUILD_TESTS=OFF \
        -DYAML_CPP_BUILD_TOOLS=OFF -DYAML_CPP_BUILD_CONTRIB=OFF
fi

# GoogleTest from the sources Debian installs, for the core's and rt62m's tests under Wine.
build_once gtest /usr/src/googletest -Dgtest_disable_pthreads=OFF
echo "$prefix"
