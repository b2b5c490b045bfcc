#!/usr/bin/env bash
# Runs the Windows rt62m.exe (build-win/, from scripts/cross-windows.sh) under Wine and holds it against
# the Linux rt62m (build/): the file commands must print the same (line ends aside) and exit the same;
# upload and download must work with the simulated radio and, through the Win32 serial code, over a Wine
# COM port linked to a pseudo-terminal on which the radio emulator answers.
# Usage: scripts/check/wine-check.sh   (after build/ and build-win/ are built)
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../lib.sh
. "$(dirname "$0")/../lib.sh"
cd "$top"
scripts/deps.sh wine64
linux=$top/build/bin
exe=$top/build-win/bin/rt62m.exe
for f in "$linux/rt62m" "$linux/pty_radio_host" "$exe"; do
    [ -x "$f" ] || die "$f is missing; build build/ and build-win/ first"
done

make_work
wine_fresh_prefix "$work/prefix"
cd "$work"

# The radio emulator on a pseudo-terminal, from the data file $1, keeping what it holds at the end in
# $2; sets radio_pid and device (its terminal).
start_radio() {
    "$linux/pty_radio_host" "$1" "$2" >"$2.device" &
    radio_pid=$!
    stop_at_exit "$radio_pid"
    for _ in $(seq 50); do
        [ -s "$2.device" ] && break
        sleep 0.1
    done
    device=$(cat "$2.device")
    [ -c "$device" ] || fail_now "the radio's pseudo-terminal did not come up"
}

# Runs one rt62m command line in both builds from this folder; out/err/rc of each go to files.
both() {
    local name=$1
    shift
    "$linux/rt62m" "$@" >"$name.linux.raw" 2>"$name.linux.err" && echo 0 >"$name.linux.rc" || echo $? >"$name.linux.rc"
    # Line ends aside: the channel CSV is CR LF on every system, other texts are on Windows.
    tr -d '\r' <"$name.linux.raw" >"$name.linux.out"
    "$wine" "$exe" "$@" >"$name.win.raw" 2>"$name.win.rawerr" && echo 0 >"$name.win.rc" || echo $? >"$name.win.rc"
    tr -d '\r' <"$name.win.raw" >"$name.win.out"
    tr -d '\r' <"$name.win.rawerr" >"$name.win.err"
}

same_output() {
    local name=$1
    for part in out err rc; do
        cmp -s "$name.linux.$part" "$name.win.$part" ||
            fail "$name: the Windows build's std$part differs: $(diff "$name.linux.$part" "$name.win.$part" | head -5)"
    done
}

# The file commands on the four factory files, and the messages for a file that is not there and for
# one of the wrong size.
for f in RT62Mvhf1 RT62Mvhf2 RT62Muhf1 RT62Muhf2; do
    cp "$linux/$f.r62" .
    for command in channels report dump info; do
        both "$command-$f" "$command" "$f.r62"
        same_output "$command-$f"
    done
done
head -c 100 RT62Mvhf1.r62 >short.r62
for command in info channels; do
    both "$command-missing" "$command" missing.r62
    same_output "$command-missing"
    both "$command-short" "$command" short.r62
    same_output "$command-short"
done
grep -q . info-missing.linux.err || fail "a missing file gave no message"

for band in 0 1 2 3; do
    "$linux/rt62m" new --band "$band" -o "new$band.linux.r62"
    "$wine" "$exe" new --band "$band" -o "new$band.win.r62" >/dev/null 2>&1 ||
        fail "new --band $band: the Windows build failed"
    cmp -s "new$band.linux.r62" "new$band.win.r62" || fail "new --band $band: the files differ"
done

# The text forms: the Windows build exports what the Linux build exports (line ends aside), imports
# either build's text to the same bytes, and diffs alike.
for f in RT62Mvhf1 RT62Muhf2 new1.linux; do
    both "export-$f" export "$f.r62"
    same_output "export-$f"
    tr -d '\r' <"export-$f.win.raw" >"$f.win.yaml"
    "$wine" "$exe" import "export-$f.linux.raw" -o "$f.imported.r62" >/dev/null 2>&1 ||
        fail "import of $f's text: the Windows build failed"
    cmp -s "$f.r62" "$f.imported.r62" || fail "import of $f's text: not the bytes it came from"
    both "csv-$f" csv-export "$f.r62"
    same_output "csv-$f"
done
both diff-files diff RT62Mvhf1.r62 RT62Mvhf2.r62
same_output diff-files
both diff-text diff RT62Mvhf1.r62 export-RT62Muhf2.linux.raw
same_output diff-text

# A folder named outside ASCII: open, save, export, import and backups through the wide file calls.
uni=$'J\xc3\xb6rg \xe6\x9d\x8e'
back="$uni/zur"$'\xc3\xbc'"ck.r62"
mkdir -p "$uni"
"$wine" "$exe" new --band 2 -o "$uni/neu.r62" >/dev/null 2>&1 || fail "new -o '$uni/neu.r62' failed"
cmp -s "$uni/neu.r62" new2.linux.r62 || fail "new -o '$uni/neu.r62': not the factory file"
"$wine" "$exe" export "$uni/neu.r62" -o "$uni/neu.yaml" >/dev/null 2>&1 || fail "export into '$uni' failed"
"$wine" "$exe" import "$uni/neu.yaml" -o "$back" >/dev/null 2>&1 || fail "import in '$uni' failed"
cmp -s "$uni/neu.r62" "$back" || fail "import in '$uni': not the exported bytes"
grep -q $'\r$' "$uni/neu.yaml" || fail "export -o: a Windows text file without CR LF line ends"
"$wine" "$exe" upload --port sim: -o "$uni/radio.r62" --backup-dir "$uni/backups" >/dev/null 2>&1 ||
    fail "upload with backups in '$uni' failed"
ls "$uni/backups/"*.r62 >/dev/null 2>&1 || fail "upload: no backup in '$uni/backups'"
"$wine" "$exe" channels "$uni/radio.r62" >/dev/null 2>&1 || fail "channels of '$uni/radio.r62' failed"

# The simulated radio.
"$linux/rt62m" upload --port sim: -o sim.linux.r62 2>/dev/null
"$wine" "$exe" upload --port sim: -o sim.win.r62 >/dev/null 2>&1 || fail "upload --port sim: failed"
cmp -s sim.linux.r62 sim.win.r62 || fail "upload --port sim: the files differ"
both download-sim download --port sim: sim.linux.r62
same_output download-sim
grep -qx 0 download-sim.win.rc || fail "download --port sim: failed: $(tail -3 download-sim.win.err)"
# The simulated radio is a VHF one: both builds refuse a UHF file alike.
both download-mismatch download --port sim: RT62Muhf1.r62
same_output download-mismatch
grep -qx 0 download-mismatch.win.rc && fail "download --port sim: of a UHF file into a VHF radio succeeded"

# A COM port of Wine linked to the radio on a pseudo-terminal. The radio starts with one channel
# frequency changed, so the download shows in what the radio holds afterwards.
cp RT62Mvhf1.r62 start.r62
printf '\x49' | dd of=start.r62 bs=1 seek=$((0x24)) conv=notrunc status=none
cmp -s start.r62 RT62Mvhf1.r62 && fail "the radio's start image was not changed"
start_radio start.r62 held.r62
ln -sfn "$device" "$WINEPREFIX/dosdevices/com5"

"$linux/rt62m" upload --port "$device" -o com.linux.r62 2>/dev/null
timeout 120 "$wine" "$exe" upload --port COM5 -o com.win.r62 --timeout 20 >/dev/null 2>com-upload.err ||
    fail "upload --port COM5 (Wine's serial port on $device): $(tr -d '\r' <com-upload.err | tail -3)"
cmp -s com.linux.r62 com.win.r62 || fail "upload --port COM5: not the image the Linux build read"
timeout 120 "$wine" "$exe" download --port COM5 RT62Mvhf1.r62 --timeout 20 >/dev/null 2>com-download.err ||
    fail "download --port COM5 (Wine's serial port on $device): $(tr -d '\r' <com-download.err | tail -3)"
stop_now "$radio_pid"
cmp -s held.r62 RT62Mvhf1.r62 || fail "download --port COM5: the radio does not hold the file's image"

# The window's own Upload and Download through the same kind of COM port: the transfer test of the
# Windows build reads the radio, changes a channel, writes it back and says what the radio must hold.
start_radio start.r62 held-gui.r62
ln -sfn "$device" "$WINEPREFIX/dosdevices/com6"
(cd "$top/build-win/bin" &&
    WINEQT_QPA_PLATFORM=offscreen RT62M_TEST_COM_PORT=COM6 RT62M_TEST_COM_RADIO="Z:$work/start.r62" \
    RT62M_TEST_COM_EXPECT="Z:$work/expect-gui.r62" timeout 300 "$wine" gui_transfer_flow_test.exe \
    uploadAndDownloadOverASerialPort -o "Z:$work/gui-com.txt,txt" >/dev/null 2>&1) ||
    fail "the window's Upload and Download through COM6: $(tr -d '\r' <gui-com.txt | grep -A3 -E 'FAIL|SKIP' | head -8)"
stop_now "$radio_pid"
grep -q '^PASS   : TransferFlowTest::uploadAndDownloadOverASerialPort' gui-com.txt ||
    fail "the window's transfer test through COM6 did not run: $(tr -d '\r' <gui-com.txt | tail -3)"
[ -s expect-gui.r62 ] && cmp -s held-gui.r62 expect-gui.r62 ||
    fail "the window's Download through COM6: the radio does not hold the window's image"

finish "rt62m.exe under Wine matches the Linux build; sim: and COM5 transfers work; the window's transfers through COM6 work"
