#!/usr/bin/env python3
"""Walks RT62MWin's accessibility tree over AT-SPI and checks the channel table's names.

Started by scripts/check/a11y-check.sh inside a private D-Bus session with DISPLAY set. Starts the window on
a data file, finds the table named "Channels", and checks every column header and every cell: a cell
says its channel, its column and its value in words ("Channel 3, Receive, 146.52000 MHz"), never a
bare glyph of the grid. With --cli, each value is also held against the grid texts that
`rt62m channels` prints for the same file. With --language (de, zh_CN, ...) it instead starts the window
under that LANG and checks the menu bar's menus, the Common menu's entries and the Scanning dialog's
title and labels against the translations of i18n/LANG.po. Exit status 1 lists what is wrong.
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake"))
import po_catalogue  # noqa: E402  (the PO reader the build uses)

# String ids: the menu bar's titles, the Common menu's entries, the Scanning dialog's title and labels.
MENU_TITLES = list(range(4900, 4908))
COMMON_ENTRIES = list(range(4946, 4953))
SCANNING_ENTRY, SCANNING_TITLE, SCANNING_LABELS = 4948, 4986, list(range(5080, 5090))

# Column words of the cells and the whole names of the headers, in grid order.
COLUMNS = ["Type", "Bandwidth", "Receive", "Transmit", "Decode", "Encode", "Power save RX",
           "Power save TX", "Power", "Scan", "VTS", "Time-out timer", "Lock out", "Squelch level", "ANI",
           "Encryption", "Page code", "PROX", "Two-tone primary pair", "Two-tone secondary page"]
HEADERS = ["Type, channel in use", "Bandwidth wide or narrow", "Frequency Receive", "Frequency Transmit",
           "Sub audio Decode", "Sub audio Encode", "Power save RX", "Power save TX", "Power high or low",
           "Scan", "VTS", "Time-out timer", "Lock out", "Squelch level", "ANI", "Encryption", "Page code",
           "PROX", "Two-tone paging primary pair", "Two-tone paging secondary page"]
GLYPHS = {"v", "-", "--", "BC", "BT", "W", "N", "H", "L", "-------", "---.-----"}
ON_OFF = {"v": "on", "-": "off"}


def spoken(column, text):
    """The words a grid text stands for; None where the grid text alone does not tell."""
    t = text.strip()
    if column == 1:
        return {"W": "wide", "N": "narrow"}.get(t)
    if column in (2, 3):
        return "transmit inhibited" if t == "---.-----" else t + " MHz"
    if column in (4, 5):
        if t == "-------":
            return "none"
        if t.startswith("C-"):
            return "CTCSS %s Hz" % t[2:].strip()
        if t.startswith("D-"):
            return "DCS %s" % t[2:].strip()
        return None
    if column == 8:
        return {"H": "high", "L": "low"}.get(t)
    if column == 12:
        return {"--": "transmit always allowed", "BC": "busy channel lock-out",
                "BT": "busy tone lock-out"}.get(t)
    if column in (13,):
        return t
    if column in (16, 18):
        return "none" if t == "-" else t
    if column == 0:
        return None  # the in-use flag is not among the grid texts
    return ON_OFF.get(t)


def grid_texts(cli, path):
    out = subprocess.run([cli, "channels", path], capture_output=True, text=True, timeout=30, check=True)
    return [line.split("\t") for line in out.stdout.splitlines()]


def find(node, predicate, depth=0, limit=40):
    if node is None or depth > limit:
        return None
    try:
        if predicate(node):
            return node
        for i in range(node.childCount):
            hit = find(node.getChildAtIndex(i), predicate, depth + 1, limit)
            if hit is not None:
                return hit
    except Exception:  # an object that went away while the window was being built
        return None
    return None


def wait_for_node(pid, seconds, wanted):
    """The first node of process pid's accessible tree that wanted() accepts, with its application, as
    (app, node); (None, None) when none turns up within the given seconds."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is None or app.get_process_id() != pid:
                    continue
                node = find(app, wanted)
            except Exception:
                continue
            if node is not None:
                return app, node
        time.sleep(0.5)
    return None, None


def wait_for_table(pid, seconds):
    return wait_for_node(pid, seconds, lambda n: n.getRole() == pyatspi.ROLE_TABLE and n.name == "Channels")[1]


def check(table, texts):
    problems = []
    t = table.queryTable()
    if t.nRows != 16 or t.nColumns != len(COLUMNS):
        return ["the table has %d rows and %d columns, not 16 and %d" % (t.nRows, t.nColumns, len(COLUMNS))]
    for c in range(t.nColumns):
        header = t.getColumnHeader(c)
        name = header.name if header is not None else None
        if name != HEADERS[c]:
            problems.append("column %d header is %r, not %r" % (c, name, HEADERS[c]))
    pattern = re.compile(r"^Channel (\d+), (not in use, )?(.+?), (.+)$")
    for r in range(t.nRows):
        in_use = None
        for c in range(t.nColumns):
            cell = t.getAccessibleAt(r, c)
            name = cell.name if cell is not None else ""
            m = pattern.match(name or "")
            where = "channel %d column %d: %r" % (r + 1, c, name)
            if not m:
                problems.append(where + " does not say channel, column and value")
                continue
            number, unused, column, value = int(m.group(1)), bool(m.group(2)), m.group(3), m.group(4)
            if c == 0:
                in_use = value == "in use"
                if value not in ("in use", "not in use") or unused:
                    problems.append(where + " does not say whether the channel is in use")
            elif in_use is not None and unused == in_use:
                problems.append(where + " disagrees with the Type cell about the channel being in use")
            if number != r + 1:
                problems.append(where + " names another channel")
            if column != COLUMNS[c]:
                problems.append(where + " names column %r, not %r" % (column, COLUMNS[c]))
            if value in GLYPHS or not value:
                problems.append(where + " speaks a glyph of the grid as its value")
            if texts is not None:
                want = spoken(c, texts[r][c])
                if want is not None and value != want:
                    problems.append(where + " should say %r for the grid text %r" % (want, texts[r][c]))
    return problems


def announcements(table, seconds=10):
    """Moves the current cell with the Down key and returns the cell names announced on the bus."""
    from gi.repository import GLib

    heard = []

    def listen(event):
        try:
            if event.source is not None and event.source.name:
                heard.append((event.type, event.source.name))
        except Exception:
            pass

    kinds = ["object:state-changed:focused", "focus:", "object:property-change:accessible-name",
             "object:active-descendant-changed"]
    for kind in kinds:
        pyatspi.Registry.registerEventListener(listen, kind)
    try:
        component = table.queryComponent()
        component.grabFocus()
        context = GLib.MainContext.default()
        deadline = time.monotonic() + seconds
        sent = 0
        while time.monotonic() < deadline:
            while context.pending():
                context.iteration(False)
            if any(name.startswith("Channel 2, ") for _, name in heard):
                break
            if sent < 3 and time.monotonic() > deadline - seconds + 1 + sent:
                pyatspi.Registry.generateKeyboardEvent(0xFF54, None, pyatspi.KEY_SYM)  # Down
                sent += 1
            time.sleep(0.05)
    finally:
        for kind in kinds:
            pyatspi.Registry.deregisterEventListener(listen, kind)
    return heard


def unmarked(text):
    """A menu or label text as the accessibility tree names it: without its letter's mark."""
    return text.replace("&&", "\0").replace("&", "").replace("\0", "&")


def app_of(pid, seconds):
    return wait_for_node(pid, seconds, lambda n: n.getRole() == pyatspi.ROLE_MENU_BAR)[0]


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def menu_items(node, depth=0):
    """The entries of a menu: its items are the children of its popup, a level below the title."""
    out = []
    for child in children(node):
        if child.getRole() in (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM):
            out.append(child)
        elif depth < 2:
            out += menu_items(child, depth + 1)
    return out


def check_language(program, path, code, wait, log):
    """The menus and the Scanning dialog in language code, as its PO file says them."""
    po = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "i18n", code + ".po")
    _, entries = po_catalogue.read_po(po)
    text = {ident: unmarked(msgstr) for ident, (_, msgstr) in entries.items()}
    env = {k: v for k, v in os.environ.items() if k not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES")}
    env["LANG"] = code + ".UTF-8"
    window = subprocess.Popen([program, path], stdout=log, stderr=subprocess.STDOUT, env=env)
    problems = []
    try:
        app = app_of(window.pid, wait)
        if app is None:
            return ["no menu bar in the window's accessibility tree after %g s" % wait]
        bar = find(app, lambda n: n.getRole() == pyatspi.ROLE_MENU_BAR)
        menus = {m.name: m for m in children(bar)}
        problems += ["no menu %r in the menu bar (it has %r)" % (text[i], sorted(menus))
                     for i in MENU_TITLES if text[i] not in menus]
        common = menus.get(text[4903])
        entries = {e.name: e for e in menu_items(common)} if common is not None else {}
        problems += ["no entry %r in the Common menu (it has %r)" % (text[i], sorted(entries))
                     for i in COMMON_ENTRIES if text[i] not in entries]
        scanning = entries.get(text[SCANNING_ENTRY])
        if scanning is None:
            return problems
        try:
            # The dialog runs modal inside the action, so its reply comes only once the dialog closes.
            scanning.queryAction().doAction(0)
        except Exception:
            pass
        dialog = None
        deadline = time.monotonic() + 15
        while dialog is None and time.monotonic() < deadline:
            time.sleep(0.5)
            dialog = find(app, lambda n: n.getRole() == pyatspi.ROLE_DIALOG and n.name == text[SCANNING_TITLE], limit=3)
        if dialog is None:
            return problems + ["no dialog %r after choosing %r" % (text[SCANNING_TITLE], text[SCANNING_ENTRY])]
        labels = set()

        def gather(node, depth=0):
            if depth > 12:
                return
            if node.getRole() == pyatspi.ROLE_LABEL:
                labels.add(unmarked(node.name))
            for child in children(node):
                gather(child, depth + 1)
        gather(dialog)
        problems += ["the Scanning dialog has no label %r (it has %r)" % (text[i], sorted(labels))
                     for i in SCANNING_LABELS if text[i] not in labels]
        if not problems:
            print("a11y-check: %s: the menu bar, the Common menu and the dialog %r speak the language of %s"
                  % (code, text[SCANNING_TITLE], os.path.basename(po)))
        return problems
    finally:
        window.send_signal(signal.SIGTERM)
        try:
            window.wait(timeout=10)
        except subprocess.TimeoutExpired:
            window.kill()
            window.wait(timeout=10)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    ap.add_argument("--file", required=True)
    ap.add_argument("--cli")
    ap.add_argument("--log", default=os.devnull)
    ap.add_argument("--wait", type=float, default=60)
    ap.add_argument("--expect", action="append", default=[],
                    help="a cell name that must be there, such as 'Channel 3, Scan, on'")
    ap.add_argument("--language", help="check the menus and a dialog in this language (de, zh_CN, ...)")
    a = ap.parse_args()

    if a.language:
        with open(a.log, "w") as log:
            problems = check_language(a.program, a.file, a.language, a.wait, log)
        for p in problems:
            print("a11y-check: %s: %s" % (a.language, p), file=sys.stderr)
        return 1 if problems else 0

    texts = grid_texts(a.cli, a.file) if a.cli else None
    with open(a.log, "w") as log:
        window = subprocess.Popen([a.program, a.file], stdout=log, stderr=subprocess.STDOUT)
    try:
        table = wait_for_table(window.pid, a.wait)
        if table is None:
            print("a11y-check: no table named \"Channels\" in the window's accessibility tree after %g s"
                  % a.wait, file=sys.stderr)
            return 1
        problems = check(table, texts)
        t = table.queryTable()
        names = {t.getAccessibleAt(r, c).name for r in range(t.nRows) for c in range(t.nColumns)}
        problems += ["no cell is named %r" % e for e in a.expect if e not in names]
        heard = announcements(table)
        moved = [h for h in heard if h[1].startswith("Channel 2, ")]
        if not moved:
            problems.append("moving down from channel 1 announced no cell of channel 2 (heard %r)" % heard[:10])
        if problems:
            print("a11y-check: %d wrong names:" % len(problems), file=sys.stderr)
            for p in problems[:60]:
                print("  " + p, file=sys.stderr)
            return 1
        print("a11y-check: the table \"Channels\", its 20 headers and 320 cells are named in words;"
              " Down was announced as %s %r" % moved[0])
        return 0
    finally:
        window.send_signal(signal.SIGTERM)
        try:
            window.wait(timeout=10)
        except subprocess.TimeoutExpired:
            window.kill()
            window.wait(timeout=10)


if __name__ == "__main__":
    sys.exit(main())
