#!/usr/bin/env python3
"""Listens to RT62MWin through Orca, the screen reader of the Linux desktop, as a blind user would.

Started by scripts/check/a11y-check.sh inside a private D-Bus session with DISPLAY set (an X server without a
window manager). Starts Orca with its speech written to its debug file (no sound and no speech server
needed), the window on a data file with known values, and drives it with keys through xdotool: a move
in the grid, every control of the Scanning and ANI/Speed Dial dialogs and a value changed by an arrow
key, an Upload from the simulated radio with its progress and its closing message box, and the fleet
dialog run over the simulated fleet. Each step waits, bounded, for the words it must hear; exit status 1
lists the steps whose words were not said, with what was said instead.
"""
import argparse
import json
import os
import re
import signal
import subprocess
import sys
import time

import pyatspi

# "SPEECH OUTPUT: 'words'" with the voice after it.
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*)'(?=\{|\s*$)")


class Orca:
    """Orca started on a private settings folder; its debug file is read for what it says."""

    def __init__(self, work):
        self.log = os.path.join(work, "orca.log")
        prefs = os.path.join(work, "orca-prefs")
        os.makedirs(prefs, exist_ok=True)
        # Speech on without a speech server (the words still reach the debug file), no braille, no key echo.
        settings = {"general": {"enableSpeech": True, "speechServerFactory": None, "enableBraille": False,
                                "enableKeyEcho": False, "enableEchoByCharacter": False,
                                "enableEchoByWord": False},
                    "profiles": {"default": {"profile": ["Default", "default"], "pronunciations": {},
                                             "keybindings": {}}},
                    "pronunciations": {}, "keybindings": {}}
        with open(os.path.join(prefs, "user-settings.conf"), "w") as f:
            json.dump(settings, f)
        # Orca as its own start script runs it, less two things: the debug file is written line by line
        # (so a phrase is there as soon as it is said), and another Orca of the same user (a check run
        # beside this one) is no reason to refuse to start.
        launcher = (
            "import sys\n"
            "from orca import debug\n"
            "debug.debugLevel = debug.LEVEL_ALL\n"
            "debug.eventDebugLevel = debug.LEVEL_OFF\n"
            "debug.debugFile = open(sys.argv[2], 'w', buffering=1)\n"
            "from orca import orca\n"
            "manager = orca.getSettingsManager()\n"
            "manager.activate(sys.argv[1], {})\n"
            "sys.path.insert(0, manager.getPrefsDir())\n"
            "sys.exit(orca.main())\n")
        command = ["/usr/bin/python3", "-c", launcher, prefs, self.log]
        self.process = subprocess.Popen(command, stdout=open(os.path.join(work, "orca.out"), "w"),
                                        stderr=subprocess.STDOUT)
        self.read = 0

    def said(self):
        """Every phrase spoken so far, in order."""
        try:
            with open(self.log, errors="replace") as f:
                return [m.group(1) for m in map(SPOKEN.search, f) if m]
        except FileNotFoundError:
            return []

    def started(self, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline and self.process.poll() is None:
            if any(p.startswith("Screen reader on") for p in self.said()):
                return True
            time.sleep(0.2)
        return False

    def stop(self):
        stop(self.process)


def stop(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=10)


def words(text):
    """A phrase as it is compared: blanks (the padding of list items) and the closing period dropped."""
    return " ".join(text.split()).rstrip(".").strip()


def xdotool(*args):
    subprocess.run(["xdotool"] + list(args), check=False, timeout=20, capture_output=True)


def press(key):
    # Alt is held over the letter, as a hand does: a menu opened by Alt+letter otherwise closes again
    # when the release of Alt reaches it first (the accessibility bus delays the keys a little).
    if key.startswith("alt+"):
        xdotool("keydown", "alt")
        time.sleep(0.2)
        xdotool("key", key[4:])
        time.sleep(0.2)
        xdotool("keyup", "alt")
    else:
        xdotool("key", key)


def focus_window(pid):
    """Gives the X focus to the program's main window (there is no window manager to do it)."""
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], capture_output=True,
                         text=True, timeout=20).stdout.split()
    if out:
        xdotool("windowfocus", "--sync", out[0])


def wait_for_frame(pid, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            try:
                app = desktop.getChildAtIndex(i)
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return True
            except Exception:
                continue
        time.sleep(0.3)
    return False


class Session:
    def __init__(self, orca, window, seconds):
        self.orca = orca
        self.window = window
        self.seconds = seconds
        self.problems = []
        self.heard = 0

    def step(self, name, keys, expect, refocus=False, seconds=None):
        """Sends keys one by one, then waits until every phrase of expect has been said, in that order."""
        if refocus:
            focus_window(self.window.pid)
            time.sleep(0.5)
        start = len(self.orca.said())
        for key in keys:
            if key.startswith("sleep:"):
                time.sleep(float(key[6:]))
                continue
            press(key)
            time.sleep(0.7)
        deadline = time.monotonic() + (seconds or self.seconds)
        refocused = time.monotonic()
        while True:
            said = [words(p) for p in self.orca.said()[start:]]
            missing = in_order(said, [words(e) for e in expect])
            if not missing or time.monotonic() > deadline:
                break
            # A focus given before Orca had found the window is not heard: give it again while
            # nothing has been said (a loaded machine starts both slowly).
            if refocus and not said and time.monotonic() - refocused > 5:
                focus_window(self.window.pid)
                refocused = time.monotonic()
            time.sleep(0.2)
        self.heard += len(said)
        if missing:
            self.problems.append("%s: %r was not said (heard %r)" % (name, missing, said[:40]))
        else:
            print("a11y-check: %s: %s" % (name, " | ".join(expect)))
        time.sleep(0.3)
        return not missing


def in_order(said, expect):
    """The first phrase of expect not found in said after the ones before it, or None. A phrase may go
    on after the words expected (a dialog's name is followed by its first help line)."""
    at = 0
    for e in expect:
        while at < len(said) and said[at] != e and not said[at].startswith(e + " "):
            at += 1
        if at == len(said):
            return e
        at += 1
    return None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    ap.add_argument("--file", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--wait", type=float, default=8, help="seconds each step may take to be said")
    a = ap.parse_args()

    # The simulated fleet answers Upload as one radio and Program Fleet radio after radio.
    with open(os.path.join(a.work, "RT62MWin.ini"), "w") as f:
        f.write("[Initialize]\nPORT_DEVICE=sim:fleet\n")
    orca = Orca(a.work)
    window = None
    try:
        if not orca.started(40):
            print("a11y-check: Orca did not start (see %s)" % orca.log, file=sys.stderr)
            return 1
        with open(os.path.join(a.work, "window.log"), "w") as log:
            window = subprocess.Popen([os.path.abspath(a.program), os.path.abspath(a.file)], cwd=a.work,
                                      stdout=log, stderr=subprocess.STDOUT)
        if not wait_for_frame(window.pid, 40):
            print("a11y-check: the window did not appear on the accessibility bus", file=sys.stderr)
            return 1
        s = Session(orca, window, a.wait)
        # Whether the table's own name is said when the window first takes the focus depends on when
        # Orca took up the window; the AT-SPI check above holds the name, this one the cells' speech.
        s.step("the window", [], [], refocus=True)
        s.step("a move down the grid", ["Down", "Down"],
               ["Channel 2, Type, not in use", "Channel 3, Receive, 146.52000 MHz"])
        # Every list of the Scanning dialog with its setting; KT-Trunk Position is off without its board.
        s.step("the Scanning dialog", ["alt+c", "s"],
               ["Scanning Parameters dialog", "Dial Scan Position combo box", "Ch3"])
        s.step("Scanning, every list", ["Tab"] * 9,
               ["Priority Channel combo box", "Ch5", "Scan Resume Time 1 combo box", "0.5 Secs",
                "Scan Resume Time 2 combo box", "5 Secs", "Dual Watch combo box", "Enabled",
                "Dual Watch Timer combo box", "0.7 Secs", "Talk Back combo box", "Disabled",
                "Revert Channel combo box", "Last Busy Channel", "Scan Speed combo box", "15CH/sec",
                "OK push button"])
        s.step("Scanning, a value changed by the arrow key", ["shift+Tab", "Up"],
               ["Scan Speed combo box", "15CH/sec", "20CH/sec"])
        s.step("Scanning closed with Escape", ["Escape"], [])
        s.step("the ANI/Speed Dial dialog", ["alt+s", "a"],
               ["ANI/Speed Dial Parameters dialog", "ANI Transmit combo box", "PTT Pressed",
                "ANI Transmit Method"],
               refocus=True)
        s.step("ANI/Speed Dial, every control", ["Tab", "Tab", "Down", "Tab"],
               ["DTMF Delay combo box", "500 msec", "DTMF Speed combo box", "33 msec", "50 msec",
                "DTMF Code read only text", "123A selected"])
        s.step("ANI/Speed Dial closed with Escape", ["Escape"], [])
        # The fleet dialog: its controls, then a run over the simulated fleet and the table of its results.
        s.step("the fleet dialog", ["alt+r", "f"], ["Program Fleet dialog", "Count up from", "selected radio button"],
               refocus=True)
        # (The list's Browse button goes with the list, so counting up skips it.)
        s.step("the fleet dialog, every control", ["Tab", "1", "0", "0", "1"] + ["Tab"] * 5,
               ["Count up from text", "Radios 1 spin button", "Log file text",
                "Program radios the log shows as programmed again check box not checked",
                "Browse... push button", "Choose the log file", "Radios done", "table with 0 rows 3 columns"])
        s.step("the fleet run and its results", ["Tab", "Return"],
               ["Start push button", "Radios done", "1 of 1 radios programmed"], seconds=60)
        s.step("the fleet dialog closed", ["Escape"], [])
        # A transfer: the simulated radio's image comes in, its progress and its end are said.
        s.step("an Upload and its message box", ["alt+r", "u"],
               ["100 percent", "alert RT62MWin", "Upload is completed", "OK push button"], refocus=True, seconds=60)
        s.step("the message box closed", ["Return"], [])
        if s.problems:
            print("a11y-check: %d steps not said as they should be:" % len(s.problems), file=sys.stderr)
            for p in s.problems:
                print("  " + p, file=sys.stderr)
            return 1
        print("a11y-check: Orca said every step (%d phrases)" % s.heard)
        return 0
    finally:
        if window is not None:
            stop(window)
        orca.stop()


if __name__ == "__main__":
    sys.exit(main())
