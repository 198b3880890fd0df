#!/usr/bin/env python3
"""The portable Windows zip holds one folder named as the zip, and in it
exactly the MinGW build of the program, the README and the licence followed
by those of the libraries compiled in, the two texts with CR LF line ends,
all byte for byte.
Usage: zip_test.py genera_scenario-VERSION-win64.zip GENERA_SCENARIO_EXE"""

import os
import sys
import zipfile

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def crlf(*paths):
    """The files one after the other, a blank line between, with CR LF ends."""
    parts = []
    for path in paths:
        with open(os.path.join(SOURCE, path), "rb") as f:
            parts.append(f.read())
    return b"\n".join(parts).replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def main():
    archive, exe = sys.argv[1:3]
    folder = os.path.basename(archive)[: -len(".zip")]
    with open(exe, "rb") as f:
        expected = {
            f"{folder}/genera_scenario.exe": f.read(),
            f"{folder}/README.txt": crlf("README.md"),
            f"{folder}/LICENSE.txt": crlf("LICENSE", "packaging/third_party.txt"),
        }
    with zipfile.ZipFile(archive) as z:
        held = {name: z.read(name) for name in z.namelist()}
    failures = []
    if sorted(held) != sorted(expected):
        failures.append(f"holds {sorted(held)}, expected {sorted(expected)}")
    for name, data in expected.items():
        if name in held and held[name] != data:
            failures.append(f"{name} differs from what it packs")
    if failures:
        print("FAILED: " + archive + ":\n  " + "\n  ".join(failures))
        return 1
    print(f"passed: {os.path.basename(archive)} holds the program, README.txt and LICENSE.txt")
    return 0


if __name__ == "__main__":
    sys.exit(main())
