#!/usr/bin/env bash
# The Windows installer and portable archive, from the Windows build (scripts/cross-windows.sh):
#   build-win/package/RT62MWin-VERSION-setup.exe   NSIS installer (/S silent, /D= folder)
#   build-win/package/RT62MWin-VERSION-portable.zip the same files, to unpack anywhere
# The programs, the four default data files, the Qt and compiler DLLs and plugins the window loads,
# all stripped, and Qt's translations. The installer's two file lists are written from the one staged folder, so it
# removes exactly what it installed.
# Usage: scripts/windows-package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
scripts/deps.sh nsis >&2
prefix=$(scripts/windows-deps.sh | tail -n 1)
version=$(sed -n 's/^set(RT62M_VERSION "\(.*\)")$/\1/p' CMakeLists.txt)
out=$top/build-win/package
name=RT62MWin-$version
stage=$out/$name
lists=$out/lists
rm -rf "$out"
mkdir -p "$stage" "$lists"

for f in build-win/bin/RT62MWin.exe build-win/bin/rt62m.exe; do
    [ -f "$f" ] || { echo "windows-package: $f is missing; run scripts/cross-windows.sh" >&2; exit 1; }
    cp "$f" "$stage/"
done
for f in RT62Mvhf1 RT62Mvhf2 RT62Muhf1 RT62Muhf2; do
    cp "build/bin/$f.r62" "$stage/"
done
scripts/windows-stage.sh "$stage" "$prefix" --strip

# files.nsh: SetOutPath per folder, then its files; unfiles.nsh: every file, then the folders
# deepest first (plain RMDir: a folder the user put something into stays).
(
    cd "$stage"
    find . -type d | sort | while IFS= read -r d; do
        rel=${d#.}
        win=${rel//\//\\}
        echo "SetOutPath \"\$INSTDIR$win\""
        find "$d" -maxdepth 1 -type f | sort | while IFS= read -r f; do
            echo "File \"$stage/${f#./}\""
        done
    done >"$lists/files.nsh"
    {
        find . -type f | sort | while IFS= read -r f; do
            rel=${f#./}
            echo "Delete \"\$INSTDIR\\${rel//\//\\}\""
        done
        find . -mindepth 1 -type d | sort -r | while IFS= read -r d; do
            rel=${d#./}
            echo "RMDir \"\$INSTDIR\\${rel//\//\\}\""
        done
    } >"$lists/unfiles.nsh"
)
# Every program and library must be both installed and removed.
while IFS= read -r f; do
    rel=${f#"$stage"/}
    grep -qF "File \"$stage/$rel\"" "$lists/files.nsh" &&
        grep -qF "Delete \"\$INSTDIR\\${rel//\//\\}\"" "$lists/unfiles.nsh" ||
        { echo "windows-package: $rel is not in both lists" >&2; exit 1; }
done < <(find "$stage" -type f \( -iname '*.exe' -o -iname '*.dll' \))

icon=$top/build/packaging/icons/rt62mwin.ico
[ -f "$icon" ] || { echo "windows-package: $icon is missing; build build/ first" >&2; exit 1; }
size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DLISTS="$lists" -DICON="$icon" \
         -DSIZE_KB="$size_kb" -DOUTFILE="$out/$name-setup.exe" packaging/windows/installer.nsi >&2
(cd "$out" && cmake -E tar cf "$name-portable.zip" --format=zip "$name")
ls -l "$out/$name-setup.exe" "$out/$name-portable.zip"
