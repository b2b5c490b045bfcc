#!/usr/bin/env python3
"""Fails when a window source file shows a user a text that is not from the string table.

Reads every gui/**/*.cpp and .h and reports each string literal that reads like words (a run of two
letters or more, not a code's name) unless it is in a place where no user sees it (object names,
properties, settings keys, resources, key sequences) or on the allow-list below with its reason.
A text a user sees goes into core/image/strings_*.inc and is shown with TableText(id).

    gui_text_check.py GUI_DIR
"""
import os
import re
import sys

LITERAL = re.compile(r'"((?:[^"\\]|\\.)*)"')
# Lines whose literals name things for the program, not for people.
PLACES = re.compile(
    r'#include|setObjectName|objectName\(|setProperty|property\(|QIcon|fromTheme|setApplicationName|'
    r'setDesktopFileName|setOrganizationName|QUrl|QRegularExpression|filePath\(|setDefaultSuffix|'
    r'QLatin1String\(|qPrintable|qWarning|qDebug|qputenv|qgetenv|ini\.|readInt\(|DialogListTexts\(|'
    r'findChild|inherits\(|QMetaObject|SIGNAL|SLOT|kHelpTopicProperty|static_assert|Q_ASSERT')
# A literal that names no words: numbers, formats, paths, key sequences, ids.
NOT_WORDS = re.compile(r'^[A-Z0-9_]+$|^[a-z0-9_.:/%-]+$|^[:.]?/')
ESCAPES_AND_FORMATS = re.compile(r'\\.|%[-+ 0-9.]*[a-zA-Z]')
WORD = re.compile(r'[A-Za-z]{2,}')
KEYS = re.compile(r'^((Ctrl|Shift|Alt|F\d+|Ins|Del|Backspace|[A-Z])\+?)+(;((Ctrl|Shift|Alt|F\d+|Ins|Del|Backspace|[A-Z])\+?)+)*$')

# (file, literal): why it is not a user text, or why it stays as it is.
ALLOWED = {
    ('app/single_instance.cpp', 'RT62MWin'): 'the local socket name of the running window',
    ('app/ini_settings.cpp', 'Initialize'): 'settings-file section',
    ('app/ini_settings.cpp', 'Recent File List'): 'settings-file section',
    ('app/ini_settings.cpp', 'ITEM%1'): 'settings-file key',
    ('app/config_dialog.cpp', '&QRB-30'): "the programming interface's model name",
    ('app/config_dialog.cpp', 'COM %1'): 'a port name as the system spells it',
    ('editor/form_view.cpp', 'COM%d'): 'a port name as the system spells it',
    ('editor/form_view.cpp', 'KT-905'): "the radio's model name",
    ('dialogs/channel_type_dialog.cpp', '*'): "the channels' labels as the radio shows them (CH- 1 ... CH-16)",
    ('dialogs/hardware_dialog.cpp', '%5.2fMHz'): 'a frequency and its unit',
    ('dialogs/miscellaneous_dialog.cpp', '%-5.1f MHz'): 'a frequency and its unit',
    ('app/single_instance.cpp', 'open '): "a request between two copies of the program",
    ('common/app_settings.h', 'COM%1'): 'the port name the link layer opens',
}


def literals(path):
    """(line number, literal) of the code, comments left out."""
    text = open(path, encoding='utf-8').read()
    out = []
    for number, line in enumerate(text.split('\n'), 1):
        code = re.sub(r'//.*', '', LITERAL.sub(lambda m: '"' + 'x' * len(m.group(1)) + '"', line))
        if not code.strip() or PLACES.search(code if '"' not in code else line.split('//')[0]):
            continue
        for m in LITERAL.finditer(line):
            if m.start() < len(code) and code[m.start()] == '"':
                out.append((number, m.group(1)))
    return out


def main(root):
    bad, used = [], set()
    for folder, _, files in os.walk(root):
        for name in sorted(files):
            if not name.endswith(('.cpp', '.h')):
                continue
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, root).replace(os.sep, '/')
            for number, text in literals(path):
                if not WORD.search(ESCAPES_AND_FORMATS.sub(' ', text)) or NOT_WORDS.match(text) or KEYS.match(text):
                    continue
                key = (rel, text) if (rel, text) in ALLOWED else (rel, '*')
                if key in ALLOWED:
                    used.add(key)
                    continue
                bad.append(f'{rel}:{number}: "{text}"')
    # An allow-list entry no longer needed is dropped, so the list stays the few it is.
    bad += [f'{rel}: "{text}" is on the allow-list but no longer in the code' for rel, text in ALLOWED
            if (rel, text) not in used]
    if bad:
        print('Window texts not from the string table (move them to core/image/strings_*.inc and show '
              'them with TableText, or add them to the allow-list with the reason):')
        print('\n'.join(bad))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else 'gui'))
