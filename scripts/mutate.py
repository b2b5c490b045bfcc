#!/usr/bin/env python3
"""Plants one small fault at a time in the program's code, rebuilds and runs the tests: a fault that no
test notices shows where the tests do not look.

Usage:
  scripts/mutate.py --list FAULTS [--build DIR] [--ctest ARGS] [--target T ...]
  scripts/mutate.py --random N [--seed S] [--under core/link --under cli ...] [--build DIR]

A FAULTS file has one fault a line, `path:line: old => new` (the first `old` on that line becomes `new`);
blank lines and lines starting with # are skipped. --random picks N lines that hold an operator or a
constant and makes one of the usual slips there (< for <=, && for ||, a dropped !, a constant off by
one, true for false). Each fault is built into DIR (default build/) and `ctest` runs there; a fault
the build refuses is counted apart. --target builds only the named targets (every test program that
could see the faults must be among them), which saves relinking the rest. Every file is put back afterwards, also on Ctrl+C.
Prints one line per fault and "caught N of M" at the end; exit status 0 unless the build folder is
missing.
"""
import argparse
import os
import random
import re
import subprocess
import sys

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The slips a developer makes: (pattern, replacement) tried in order; the first that matches is used.
SLIPS = [
    (r"<=", "<"), (r">=", ">"), (r" < ", " <= "), (r" > ", " >= "),
    (r"==", "!="), (r"!=", "=="), (r"&&", "||"), (r"\|\|", "&&"),
    (r"\btrue\b", "false"), (r"\bfalse\b", "true"),
    (r"!(?!=)", ""), (r"\+ 1\b", ""), (r"- 1\b", ""),
    (r"(?<![\w.])(\d+)(?![\w.])", None),  # a constant off by one
]
SKIP_LINE = re.compile(r"^\s*(#|//|\*|/\*)|static_assert|template\s*<|#include")


def slip(text):
    """The first slip that applies to a line of code, as (old, new), or None."""
    code = text.split("//", 1)[0]
    if '"' in code:  # leave string literals alone: a changed message is not a fault of logic
        code = re.sub(r'"(\\.|[^"\\])*"', lambda m: " " * len(m.group(0)), code)
    for pattern, repl in SLIPS:
        m = re.search(pattern, code)
        if not m:
            continue
        old = text[m.start():m.end()]
        if repl is None:
            new = str(int(old) + 1)
        else:
            new = repl
        # Keep enough context that the replacement lands on this very spot.
        start = max(0, m.start() - 12)
        end = min(len(text), m.end() + 12)
        return text[start:end], text[start:m.start()] + new + text[m.end():end]
    return None


def random_faults(count, seed, unders):
    rng = random.Random(seed)
    files = []
    for under in unders:
        for dp, _, names in os.walk(os.path.join(TOP, under)):
            # Windows-only code is not built here: a fault in it would pass for one the tests miss.
            files += [os.path.join(dp, n) for n in names if n.endswith(".cpp") and "win32" not in n]
    files.sort()
    candidates = []
    for path in files:
        with open(path, encoding="utf-8") as f:
            windows = []  # for each open #if: whether the branch being read is Windows-only
            windows_else = []  # and whether its #else branch is
            for number, line in enumerate(f, 1):
                directive = line.strip()
                if re.match(r"#\s*if", directive):
                    names_windows = bool(re.search(r"_WIN32|_MSC_VER", directive))
                    negated = "ifndef" in directive or "!" in directive
                    windows.append(names_windows and not negated)
                    windows_else.append(names_windows and negated)
                elif re.match(r"#\s*el", directive) and windows:
                    windows[-1] = windows_else[-1]
                elif re.match(r"#\s*endif", directive) and windows:
                    windows.pop()
                    windows_else.pop()
                if any(windows) or SKIP_LINE.search(line) or not line.strip():
                    continue
                s = slip(line.rstrip("\n"))
                if s:
                    candidates.append((os.path.relpath(path, TOP), number, s[0], s[1]))
    rng.shuffle(candidates)
    return candidates[:count]


def read_list(path):
    out = []
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            m = re.match(r"^([^:]+):(\d+):\s?(.*?) => (.*)$", line)
            if not m:
                sys.exit(f"mutate: cannot read fault line: {line}")
            out.append((m.group(1), int(m.group(2)), m.group(3), m.group(4)))
    return out


def run(cmd, cwd, timeout):
    try:
        return subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--list")
    ap.add_argument("--random", type=int, default=0)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--under", action="append", default=[])
    ap.add_argument("--build", default="build")
    ap.add_argument("--ctest", default="", help="extra ctest arguments, e.g. '-E fuzz'")
    ap.add_argument("--jobs", default=str(os.cpu_count() or 2))
    ap.add_argument("--target", action="append", default=[], help="build only this target (repeatable)")
    a = ap.parse_args()
    build = os.path.join(TOP, a.build)
    if not os.path.isdir(build):
        print(f"mutate: no build folder {build}", file=sys.stderr)
        return 2
    faults = read_list(a.list) if a.list else random_faults(a.random, a.seed, a.under or ["core", "cli", "gui"])
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    build_cmd = ["cmake", "--build", build, "-j", a.jobs] + (["--target"] + a.target if a.target else [])
    caught = survived = stillborn = 0
    for path, number, old, new in faults:
        full = os.path.join(TOP, path)
        with open(full, encoding="utf-8") as f:
            original = f.read()
        lines = original.split("\n")
        if number > len(lines) or old not in lines[number - 1]:
            print(f"absent    {path}:{number}: {old} => {new}")
            continue
        lines[number - 1] = lines[number - 1].replace(old, new, 1)
        try:
            with open(full, "w", encoding="utf-8") as f:
                f.write("\n".join(lines))
            if run(build_cmd, TOP, 1800) != 0:
                verdict = "stillborn"
                stillborn += 1
            else:
                cmd = ["ctest", "-j", a.jobs, "--timeout", "120", "--stop-on-failure"] + a.ctest.split()
                rc = subprocess.run(cmd, cwd=build, env=env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL).returncode
                verdict = "caught" if rc != 0 else "SURVIVED"
                if rc != 0:
                    caught += 1
                else:
                    survived += 1
        finally:
            with open(full, "w", encoding="utf-8") as f:
                f.write(original)
        print(f"{verdict:9} {path}:{number}: {old.strip()} => {new.strip()}", flush=True)
    run(build_cmd, TOP, 1800)
    total = caught + survived
    print(f"caught {caught} of {total}" + (f" ({stillborn} did not build)" if stillborn else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
