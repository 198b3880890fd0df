#!/usr/bin/env python3
"""Every option the built program's --help shows is in the man page: the
program's own under OPTIONS, each command's in its subsection of COMMANDS,
as the page's heading of a definition (.TP). Every command has its
subsection.

The SYNOPSIS, as `man` shows it at 80 columns, has one entry a paragraph,
each naming the program once; every command has an entry, and every
option of the command's --help is named in one of its entries (--help and
--version in entries of their own). The page is dated.
Usage: man_page_test.py GENERA_SCENARIO MAN_PAGE"""

import os
import re
import subprocess
import sys

from cli_help import option_groups_by_command, options_by_command


def synopsis_problems(exe, page):
    shown = subprocess.run(["man", "-l", page], capture_output=True, text=True, check=True,
                           env=dict(os.environ, MANWIDTH="80", MANPAGER="cat", LC_ALL="C.UTF-8",
                                    MAN_KEEP_FORMATTING="")).stdout
    problems = []
    rows = shown.splitlines()
    if "SYNOPSIS" not in rows:
        return ["no SYNOPSIS"]
    body = rows[rows.index("SYNOPSIS") + 1:]
    body = body[:next(i for i, row in enumerate(body) if row and not row[0].isspace())]
    entries = [" ".join(p.split()) for p in "\n".join(body).split("\n\n") if p.strip()]
    groups = option_groups_by_command(exe)
    by_command = {}
    for entry in entries:
        words = entry.split()
        if words.count("genera_scenario") != 1 or words[0] != "genera_scenario":
            problems.append(f"SYNOPSIS entry runs entries together: {entry!r}")
            continue
        command = words[1] if len(words) > 1 and words[1] in groups else ""
        by_command.setdefault(command, []).append(entry)
    for command, options in groups.items():
        named = set(re.findall(r"(?<![\w-])(-[\w-]+)", " ".join(by_command.get(command, []))))
        if command and command not in by_command:
            problems.append(f"SYNOPSIS has no entry for {command}")
        for names in options:
            if "--help" in names:
                continue
            version_listed = "--version" in set(re.findall(r"--version", " ".join(entries)))
            if not named & set(names) and not (names == ["--version"] and version_listed):
                problems.append(f"SYNOPSIS of {command or 'the program'} lacks {'/'.join(names)}")
    if not any("--help" in entry for entry in entries):
        problems.append("SYNOPSIS lacks --help")
    if not re.search(r"\d{4}-\d{2}-\d{2}", rows[-1] if rows else ""):
        problems.append(f"the page's last row names no date: {rows[-1] if rows else ''!r}")
    return problems


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
    missing += synopsis_problems(exe, page)
    if missing:
        print("missing from the man page:\n  " + "\n  ".join(missing))
        return 1
    print("passed: every command and option of --help is in the man page and its SYNOPSIS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
