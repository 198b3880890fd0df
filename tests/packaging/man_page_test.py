#!/usr/bin/env python3
"""Every option the built program's --help shows is in the man page: the
program's own under OPTIONS, each command's in its subsection of COMMANDS,
as the page's heading of a definition (.TP). Every command has its
subsection. Usage: man_page_test.py GENERA_SCENARIO MAN_PAGE"""

import re
import sys

from cli_help import options_by_command


def sections(roff):
    """{heading: [roff lines]}: ".SH X" opens "X", ".SS Y" under it "X/Y"."""
    out = {}
    top = sub = None
    for line in roff.splitlines():
        if line.startswith(".SH "):
            top, sub = line[4:].strip('"'), None
            out.setdefault(top, [])
        elif line.startswith(".SS "):
            sub = re.sub(r"\\f\[[A-Z]*\]", "", line[4:]).strip('"')
            out.setdefault(f"{top}/{sub}", [])
        elif top:
            out[f"{top}/{sub}" if sub else top].append(line)
    return out


def defined_options(lines):
    """The option names in the headings of the definitions (.TP) of a section."""
    names = set()
    for i, line in enumerate(lines[:-1]):
        if line == ".TP":
            plain = re.sub(r"\\f\[[A-Z]*\]", "", lines[i + 1]).replace("\\-", "-")
            names.update(re.findall(r"(?<![\w-])(-[\w-]+)", plain))
    return names


def main():
    exe, page = sys.argv[1:3]
    with open(page, encoding="utf-8") as f:
        by_section = sections(f.read())
    missing = []
    for command, options in options_by_command(exe).items():
        where = f"COMMANDS/{command}" if command else "OPTIONS"
        if where not in by_section:
            missing.append(f"section {where}")
            continue
        documented = defined_options(by_section[where])
        missing += [f"{where}: {option}" for option in options if option not in documented]
    if missing:
        print("missing from the man page:\n  " + "\n  ".join(missing))
        return 1
    print("passed: every command and option of --help is in the man page")
    return 0


if __name__ == "__main__":
    sys.exit(main())
