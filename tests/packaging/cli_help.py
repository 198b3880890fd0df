"""What the built program's --help shows, read from the program itself, so
that the tests of the man page and of the bash completion need no list of
their own."""

import re
import subprocess


def _help(exe, command):
    args = [exe] + ([command] if command else []) + ["--help"]
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def option_groups_by_command(exe):
    """{command: [[name, ...], ...]}: as options_by_command, each option's
    names kept together: "-o,--out,--output" is one option."""
    found = {}
    pending = [""]
    while pending:
        command = pending.pop(0)
        groups = []
        section = None
        for line in _help(exe, command).splitlines():
            if line and not line[0].isspace():
                section = line.rstrip(":") if line.endswith(":") else None
                continue
            # An entry starts two blanks in; its description may go on in
            # rows further in.
            words = line.split() if re.match(r"  \S", line) else []
            if not words:
                continue
            if section == "Options":
                names = [name for name in words[0].split(",") if name.startswith("-")]
                if names:
                    groups.append(names)
            elif section == "Subcommands" and not command:
                pending.append(words[0])
        found[command] = groups
    return found


def options_by_command(exe):
    """{command: [option, ...]}: "" for the program's own options, then one
    entry per command the program's --help lists. Each option name counts on
    its own: "-o,--output" gives "-o" and "--output"."""
    found = {}
    pending = [""]
    while pending:
        command = pending.pop(0)
        options = []
        section = None
        for line in _help(exe, command).splitlines():
            if line and not line[0].isspace():
                section = line.rstrip(":") if line.endswith(":") else None
                continue
            # An entry starts two blanks in; its description may go on in
            # rows further in.
            words = line.split() if re.match(r"  \S", line) else []
            if not words:
                continue
            if section == "Options":
                options += [name for name in words[0].split(",") if name.startswith("-")]
            elif section == "Subcommands" and not command:
                pending.append(words[0])
        if "--help" not in options:
            raise RuntimeError(f"no --help among the options of {command or 'the program'}: "
                               "has the layout of --help changed?")
        found[command] = options
    return found
