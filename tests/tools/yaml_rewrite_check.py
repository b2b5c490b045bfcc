#!/usr/bin/env python3
"""Export -> rewrite by PyYAML -> import must give back every data file byte for byte.

Usage: yaml_rewrite_check.py RT62M FILE_OR_FOLDER...
Every 262-byte file found, and 100 seeded random files, is exported with RT62M, loaded with
yaml.safe_load and written back with yaml.safe_dump in several styles (keys sorted, flow style,
block style, wide and narrow lines), imported again and compared with the file.
"""
import os
import random
import subprocess
import sys
import tempfile

import yaml

STYLES = [
    dict(),
    dict(default_flow_style=True),
    dict(default_flow_style=False, sort_keys=False, width=40),
    dict(default_flow_style=None, sort_keys=True, width=1000, indent=4),
    dict(default_flow_style=False, default_style='"'),
]


def files(paths):
    for path in paths:
        if os.path.isdir(path):
            for root, _, names in os.walk(path):
                for name in sorted(names):
                    full = os.path.join(root, name)
                    if os.path.getsize(full) == 262:
                        yield full, open(full, "rb").read()
        elif os.path.getsize(path) == 262:
            yield path, open(path, "rb").read()
    rng = random.Random(62)
    for i in range(100):
        yield "random %d" % i, bytes(rng.randrange(256) for _ in range(262))


def run(args, data):
    return subprocess.run(args, input=data, capture_output=True)


def main():
    rt62m, paths = sys.argv[1], sys.argv[2:]
    failures = 0
    count = 0
    with tempfile.TemporaryDirectory() as tmp:
        text_path = os.path.join(tmp, "rewritten.yaml")
        for name, data in files(paths):
            count += 1
            exported = run([rt62m, "export", "-"], data)
            if exported.returncode != 0:
                print("%s: export failed: %s" % (name, exported.stderr.decode()))
                failures += 1
                continue
            loaded = yaml.safe_load(exported.stdout.decode("utf-8"))
            for style in STYLES:
                with open(text_path, "w", encoding="utf-8") as f:
                    f.write(yaml.safe_dump(loaded, **style))
                back = subprocess.run([rt62m, "import", text_path, "-o", "-"], capture_output=True)
                if back.returncode != 0 or back.stdout != data:
                    failures += 1
                    where = next((i for i in range(262) if i >= len(back.stdout) or back.stdout[i] != data[i]),
                                 None)
                    print("%s, rewritten with %s: %s" % (name, style, back.stderr.decode().strip() or
                                                         "byte 0x%02x differs" % where))
                    break
    print("%d files, %d styles: %d failures" % (count, len(STYLES), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
