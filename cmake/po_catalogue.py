#!/usr/bin/env python3
"""Turns the string table and the PO files of i18n/ into the C++ tables the program is built with.

The English texts stay where they are (core/image/strings_*.inc); each i18n/LANG.po holds one language,
keyed by the string id as msgctxt and the English text as msgid. A translation whose msgid is not the
English text of today (the English changed since) is left out, so the program says that line in English
and the catalogue check names it. The pseudo-language en_XA is made here from the English.

    po_catalogue.py table OUT.inc INC... -- PO...   the generated table
    po_catalogue.py pot OUT.pot INC...              the template for translators
    po_catalogue.py check-pot POT INC...            fails when the template is not the table of today
"""
import os
import re
import sys

ENTRY = re.compile(r'\{\s*(\d+)\s*,\s*((?:"(?:[^"\\]|\\.)*"\s*)+)\}')
LITERAL = re.compile(r'"((?:[^"\\]|\\.)*)"')
ESCAPES = {'n': '\n', 'r': '\r', 't': '\t', '"': '"', '\\': '\\', "'": "'", '?': '?', 'a': '\a', '0': '\0'}
# A line of the table that ends in this comment is read by programs, not people: it is never translated.
FIXED = 'not translated'


def unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == '\\' and i + 1 < len(text):
            out.append(ESCAPES.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return ''.join(out)


def read_table(paths):
    """[(id, text, note, source)] of every literal entry, with the comment line above it as the note."""
    entries, seen = [], set()
    for path in paths:
        note, pending, start = '', '', 0
        with open(path, encoding='utf-8') as f:
            for number, line in enumerate(f, 1):
                stripped = line.strip()
                if not pending and stripped.startswith('//'):
                    # The file's first line names the file; the others say what the entries below are.
                    note = '' if number == 1 else stripped[2:].strip()
                    continue
                if not pending:
                    start = number
                pending += line
                # An entry may go on over several lines (adjacent literals): wait for its closing brace.
                code = re.sub(r'//.*', '', LITERAL.sub('""', pending))
                if code.count('{') > code.count('}'):
                    continue
                for m in ENTRY.finditer(pending):
                    ident = int(m.group(1))
                    if ident in seen:
                        sys.exit(f'{path}:{start}: id {ident} is in the table twice')
                    seen.add(ident)
                    if pending.rstrip().endswith(FIXED):
                        continue
                    text = ''.join(unescape(s) for s in LITERAL.findall(m.group(2)))
                    entries.append((ident, text, note, f'{os.path.basename(path)}:{start}'))
                pending = ''
    return entries


def po_quote(text):
    """A PO string, split after each line break as gettext tools write it."""
    def q(s):
        return '"' + s.replace('\\', '\\\\').replace('"', '\\"').replace('\r', '\\r').replace(
            '\n', '\\n').replace('\t', '\\t') + '"'
    parts = re.split(r'(?<=\n)', text)
    parts = [p for p in parts if p]
    if len(parts) <= 1:
        return q(text)
    return '""\n' + '\n'.join(q(p) for p in parts)


POT_HEADER = '''# The messages of RT62MWin and rt62m, one entry per string id (the msgctxt).
# Placeholders %1, %2 ... stay as they are. "%1{channel|channels}" picks a word by the number in %1:
# a translation lists one word for each plural category of its language, in CLDR order
# (one, few, many, other), e.g. Polish "%1{kanał|kanały|kanałów|kanału}", German "%1{Kanal|Kanäle}".
# Keep the "\\n" line breaks where the English has them (a status-bar text and its tooltip, a help line
# and its "<SELECT>"); the Get Started and Common Problems lines fit 63 columns of a fixed-width font.
# What the user types into a file stays in English: YAML keys (paging.page_1, format: rt62m-1), values
# (DEC, OFF, TSQL, High, true or false, C-67.0), CSV column values, file patterns (*.R62).
msgid ""
msgstr ""
"Project-Id-Version: RT62MWin\\n"
"MIME-Version: 1.0\\n"
"Content-Type: text/plain; charset=UTF-8\\n"
"Content-Transfer-Encoding: 8bit\\n"
'''


def write_pot(out, entries):
    lines = [POT_HEADER]
    for ident, text, note, source in entries:
        if note:
            lines.append(f'#. {note}')
        lines.append(f'#: core/image/{source.split(":")[0]}')
        lines.append(f'msgctxt "{ident}"')
        lines.append('msgid ' + po_quote(text))
        lines.append('msgstr ""')
        lines.append('')
    return '\n'.join(lines)


def read_po(path):
    """(header fields, {id: (msgid, msgstr)}) of the entries that are translated and not fuzzy."""
    entries, header = {}, {}
    cur, field, fuzzy = {}, None, False

    def finish():
        nonlocal cur, fuzzy
        if 'msgid' in cur:
            if cur['msgid'] == '' and 'msgctxt' not in cur:
                for line in cur.get('msgstr', '').split('\n'):
                    if ':' in line:
                        k, v = line.split(':', 1)
                        header[k.strip()] = v.strip()
            elif not fuzzy and cur.get('msgstr') and cur.get('msgctxt', '').isdigit():
                entries[int(cur['msgctxt'])] = (cur['msgid'], cur['msgstr'])
        cur, fuzzy = {}, False

    with open(path, encoding='utf-8') as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            if not line:
                finish()
                field = None
                continue
            if line.startswith('#~'):
                continue
            if line.startswith('#,'):
                fuzzy = fuzzy or 'fuzzy' in line
                continue
            if line.startswith('#'):
                continue
            m = re.match(r'(msgctxt|msgid|msgstr)\s+"(.*)"$', line)
            if m:
                if m.group(1) in cur or (m.group(1) == 'msgctxt' and 'msgid' in cur):
                    finish()
                field = m.group(1)
                cur[field] = unescape(m.group(2))
            elif line.startswith('"') and line.endswith('"') and field:
                cur[field] += unescape(line[1:-1])
            else:
                sys.exit(f'{path}:{number}: not a PO line: {line}')
    finish()
    return header, entries


# ---- the pseudo-language: every letter accented, each line bracketed and 40 % longer ----

ACCENTED = dict(zip('abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ',
                    'ȧƀƈḓḗƒɠħīĵķŀḿƞǿƥɋřşŧŭṽẇẋẏẑȦƁƇḒḖƑƓĦĪĴĶĿḾȠǾƤɊŘŞŦŬṼẆẊẎẐ'))
FILLER = ' ŀǿřḗḿ īƥşŭḿ ḓǿŀǿř şīŧ ȧḿḗŧ'
# Left as they are: placeholders and plural marks, file patterns, variables and paths, mnemonics' marks.
KEEP = re.compile(r'%\d\{|%\d|[|}]|\(\*\.[^)]*\)|\*\.\w+|\$\w+|%[A-Z]+%|&&|\\\\|\\')


def accent(text):
    out, pos = [], 0
    for m in KEEP.finditer(text):
        out.append(''.join(ACCENTED.get(c, c) for c in text[pos:m.start()]))
        out.append(m.group(0))
        pos = m.end()
    out.append(''.join(ACCENTED.get(c, c) for c in text[pos:]))
    return ''.join(out)


def pseudo_line(line):
    body = line.lstrip(' ')
    if not body.strip():
        return line
    indent = line[:len(line) - len(body)]
    tail = body[len(body.rstrip()):]
    body = body.rstrip()
    extra = (len(body) * 2 + 4) // 5
    pad = (FILLER * (extra // len(FILLER) + 1))[:extra]
    return f'{indent}[{accent(body)}{pad}]{tail}'


def pseudo(text):
    return ''.join(pseudo_line(p) if p not in ('\r\n', '\n') else p for p in re.split(r'(\r\n|\n)', text))


# ---- the generated table ----

def c_string(text):
    out = ['"']
    for b in text.encode('utf-8'):
        c = chr(b)
        if c == '\\' or c == '"':
            out.append('\\' + c)
        elif c == '\n':
            out.append('\\n')
        elif c == '\r':
            out.append('\\r')
        elif 32 <= b < 127 and c != '?':
            out.append(c)
        else:
            out.append('\\%03o' % b)
    out.append('"')
    return ''.join(out)


def write_table(out, entries, po_paths):
    english = {ident: text for ident, text, _, _ in entries}
    languages = []
    for path in sorted(po_paths):
        code = os.path.splitext(os.path.basename(path))[0]
        header, translated = read_po(path)
        if header.get('Language', code) != code:
            sys.exit(f'{path}: its Language header says {header.get("Language")}, its name {code}')
        table = {}
        for ident, (msgid, msgstr) in translated.items():
            if english.get(ident) == msgid:
                table[ident] = msgstr
            elif ident in english:
                print(f'{path}: id {ident} translates an older English text; it is left out',
                      file=sys.stderr)
            else:
                print(f'{path}: id {ident} is not in the string table; it is left out', file=sys.stderr)
        languages.append((code, table))
    languages.append(('en_XA', {ident: pseudo(text) for ident, text in english.items()}))

    lines = ['// Generated by cmake/po_catalogue.py from i18n/*.po and core/image/strings_*.inc: do not edit.']
    for code, table in languages:
        lines.append(f'constexpr TranslatedEntry kTexts_{code}[] = {{')
        for ident in sorted(table):
            lines.append(f'    {{{ident}, {c_string(table[ident])}}},')
        if not table:
            lines.append('    {0, ""},')
        lines.append('};')
    lines.append('constexpr TranslationTable kTranslationTables[] = {')
    for code, table in languages:
        lines.append(f'    {{"{code}", kTexts_{code}, {len(table)}}},')
    lines.append('};')
    lines.append('constexpr int kTranslatableIds[] = {')
    ids = sorted(english)
    for i in range(0, len(ids), 12):
        lines.append('    ' + ', '.join(str(n) for n in ids[i:i + 12]) + ',')
    lines.append('};')
    return '\n'.join(lines) + '\n'


def write_if_changed(path, text):
    try:
        with open(path, encoding='utf-8') as f:
            if f.read() == text:
                return
    except OSError:
        pass
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    mode, out, rest = argv[0], argv[1], argv[2:]
    incs, pos = (rest[:rest.index('--')], rest[rest.index('--') + 1:]) if '--' in rest else (rest, [])
    entries = read_table(incs)
    if mode == 'table':
        write_if_changed(out, write_table(out, entries, pos))
    elif mode == 'pot':
        write_if_changed(out, write_pot(out, entries))
    elif mode == 'check-pot':
        with open(out, encoding='utf-8') as f:
            if f.read() != write_pot(out, entries):
                sys.exit(f'{out} is not the string table of today: run cmake/po_catalogue.py pot {out} '
                         'core/image/strings_*.inc')
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv[1:])
