#!/usr/bin/env bash
# Puts beside the Windows programs in DEST the DLLs and Qt plugins they load, and Qt's translations: the
# import tables of every .exe and .dll there are walked (objdump), and each DLL found among Qt's and the
# compiler's is copied, until nothing more is missing; Windows' own DLLs are left to Windows.
# Usage: scripts/windows-stage.sh DEST QT_PREFIX [--with-test-plugins] [--strip]
set -euo pipefail
dest=$1 prefix=$2
shift 2
test_plugins=0 strip=0
for a in "$@"; do
    case $a in
        --with-test-plugins) test_plugins=1 ;;
        --strip) strip=1 ;;
        *) echo "windows-stage: unknown option $a" >&2; exit 2 ;;
    esac
done
objdump=x86_64-w64-mingw32-objdump
search=("$prefix/bin"
        "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
        /usr/x86_64-w64-mingw32/lib)

# The window's plugins: the platform and the native style. The tests also run offscreen.
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll)
[ $test_plugins = 1 ] && plugins+=(platforms/qoffscreen.dll platforms/qminimal.dll)
for p in "${plugins[@]}"; do
    mkdir -p "$dest/$(dirname "$p")"
    cp -u "$prefix/plugins/$p" "$dest/$p"
done
printf '[Paths]\nPrefix = .\nPlugins = .\n' >"$dest/qt.conf"

# Offscreen, Windows Qt reads its fonts from lib/fonts under its prefix instead of asking Windows: the
# tests get a proportional face, a fixed one and one with Han characters, linked from Debian's.
if [ $test_plugins = 1 ]; then
    mkdir -p "$dest/lib/fonts"
    for f in /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf \
             /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc; do
        [ -f "$f" ] && ln -sf "$f" "$dest/lib/fonts/"
    done
fi

# Qt's own texts (buttons, file and print dialogs) in each language the program speaks, in the
# translations folder beside the programs, where the window looks. The .qm files are the same on every
# platform: Debian's serve.
mkdir -p "$dest/translations"
for po in "$(dirname "$0")"/../i18n/*.po; do
    cp -u "/usr/share/qt6/translations/qtbase_$(basename "$po" .po).qm" "$dest/translations/"
done

find_dll() {
    local d
    for d in "${search[@]}"; do
        [ -f "$d/$1" ] && { echo "$d/$1"; return 0; }
    done
    return 1
}

changed=1
while [ $changed = 1 ]; do
    changed=0
    while IFS= read -r dll; do
        [ -f "$dest/$dll" ] && continue
        if src=$(find_dll "$dll"); then
            cp "$src" "$dest/$dll"
            changed=1
        fi
    done < <(find "$dest" -iname '*.exe' -o -iname '*.dll' | xargs -r "$objdump" -p 2>/dev/null |
             sed -n 's/^[[:space:]]*DLL Name: //p' | sort -u)
done

if [ $strip = 1 ]; then
    find "$dest" \( -iname '*.exe' -o -iname '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
fi
