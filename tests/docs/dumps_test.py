#!/usr/bin/env python3
"""The byte dumps of a page (blocks "dump": a command
`$ od -A d -t x1 [-j OFFSET] [-N COUNT] FILE` and its output) are
compared with the files the program writes for the built-in scenario
(`sources`, then `compile` of the two sources).

Usage: dumps_test.py GENERA_SCENARIO PAGE
"""

import os
import shlex
import subprocess
import sys
import tempfile

from doc_blocks import blocks


def parse_od(block):
    """(file, first offset, [(offset, [bytes])]) of a dump block."""
    lines = block.text.rstrip("\n").split("\n")
    if not lines[0].startswith("$ od "):
        raise ValueError(f"{block.where()}: a dump starts with \"$ od ...\"")
    words = shlex.split(lines[0][2:])
    if words[1:5] != ["-A", "d", "-t", "x1"]:
        raise ValueError(f"{block.where()}: a dump is od -A d -t x1")
    start, count, rest = 0, None, words[5:]
    while len(rest) > 1:
        option, value, rest = rest[0], int(rest[1]), rest[2:]
        if option == "-j":
            start = value
        elif option == "-N":
            count = value
        else:
            raise ValueError(f"{block.where()}: unknown option {option}")
    rows = []
    for line in lines[1:]:
        fields = line.split()
        rows.append((int(fields[0]), [int(x, 16) for x in fields[1:]]))
    return rest[0], start, count, rows


def main():
    exe, page = os.path.abspath(sys.argv[1]), sys.argv[2]
    dumps = [b for b in blocks(page) if b.info == "dump"]
    if not dumps:
        print(f"FAILED: no dump block in {page}")
        return 1
    failures = []
    with tempfile.TemporaryDirectory() as d:
        subprocess.run([exe, "sources"], cwd=d, check=True, capture_output=True)
        subprocess.run([exe, "compile", "LIVRA_MONTALBA_linea.txt", "LIVRA_MONTALBA_R47316-.txt"],
                       cwd=d, check=True, capture_output=True)
        for b in dumps:
            name, start, count, rows = parse_od(b)
            with open(os.path.join(d, name), "rb") as f:
                data = f.read()
            shown = []
            for offset, values in rows:
                if offset != start + len(shown):
                    failures.append(f"{b.where()}: the row at {offset} should start at "
                                    f"{start + len(shown)}")
                shown += values
            if count is not None and len(shown) != count:
                failures.append(f"{b.where()}: {len(shown)} bytes shown, -N says {count}")
            real = list(data[start:start + len(shown)])
            if shown != real:
                failures.append(f"{b.where()}: {name} from byte {start} holds\n    " +
                                " ".join(f"{x:02x}" for x in real))
    if failures:
        print("FAILED:\n" + "\n".join(failures))
        return 1
    print(f"passed: the dumps of {page} are the bytes the program writes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
