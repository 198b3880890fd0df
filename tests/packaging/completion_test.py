#!/usr/bin/env python3
"""The bash completion, called as bash calls it, in a folder holding one file
of each kind: it offers every command and every option the built program's
--help shows, and for each argument the names of its kind.
Usage: completion_test.py GENERA_SCENARIO COMPLETION_SCRIPT"""

import os
import subprocess
import sys
import tempfile

from cli_help import options_by_command

FILES = ["A_linea.txt", "A_R1-.txt", "note.txt", "A_R1.sim", "A_R1.dat", "A_linea.dat",
         "piano.svg", "vista.html", "leggimi"]
FOLDERS = ["pack"]

# (command line up to the cursor, marked "|", and what is offered there).
CASES = [
    ("genera_scenario co", {"compile"}),
    ("genera_scenario compile |", {"pack", "A_linea.txt"}),
    ("genera_scenario compile A_linea.txt |", {"pack", "A_R1-.txt"}),
    ("genera_scenario compile A_linea.txt A_R1-.txt |", set()),
    ("genera_scenario compile --out |", {"pack"}),
    ("genera_scenario compile --out=|", {"pack"}),
    ("genera_scenario compile --out pack |", {"pack", "A_linea.txt"}),
    ("genera_scenario compile --out=pack --no-plan A_linea.txt |", {"pack", "A_R1-.txt"}),
    ("genera_scenario compile --line-name |", set()),
    ("genera_scenario check A_|", {"A_linea.txt"}),
    ("genera_scenario plot A_linea.txt A_R1-.txt -o |", {"pack", "piano.svg"}),
    ("genera_scenario plot --output p|", {"pack", "piano.svg"}),
    ("genera_scenario view |", {"pack", "A_linea.txt"}),
    ("genera_scenario view A_linea.txt A_R1-.txt -o |", {"pack", "vista.html"}),
    ("genera_scenario view A_linea.txt --serve --port |", set()),
    ("genera_scenario view A_linea.txt --port 8000 |", {"pack", "A_R1-.txt"}),
    ("genera_scenario inspect |", {"pack", "A_R1.sim", "A_R1.dat", "A_linea.dat"}),
    ("genera_scenario inspect A_R1.sim |", {"pack", "A_R1.sim", "A_R1.dat", "A_linea.dat"}),
    ("genera_scenario sources --out |", {"pack"}),
    ("genera_scenario sources |", set()),
    ("genera_scenario --out |", {"pack"}),
]


def complete(script, folder, line):
    """What the completion offers for `line`, the cursor at its "|" end."""
    # Words as bash makes them: "--out=pack" is "--out", "=", "pack".
    words = []
    for word in line.rstrip("|").split(" "):
        if word.startswith("-") and "=" in word:
            option, _, value = word.partition("=")
            words += [option, "="] + ([value] if value else [])
        else:
            words.append(word)
    program = ('source "$1"; COMP_WORDS=("${@:2}"); COMP_CWORD=$(($# - 2)); '
               '_genera_scenario; printf "%s\\n" "${COMPREPLY[@]}"')
    result = subprocess.run(["bash", "-c", program, "bash", script] + words, cwd=folder,
                            check=True, capture_output=True, text=True)
    return {name for name in result.stdout.splitlines() if name}


def main():
    exe, script = sys.argv[1], os.path.abspath(sys.argv[2])
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for name in FILES:
            open(os.path.join(folder, name), "w").close()
        for name in FOLDERS:
            os.mkdir(os.path.join(folder, name))

        help_options = options_by_command(exe)
        commands = {c for c in help_options if c}
        cases = list(CASES)
        cases.append(("genera_scenario |", commands))
        for command, options in help_options.items():
            prefix = f"genera_scenario {command} -" if command else "genera_scenario -"
            cases.append((prefix, set(options)))

        for line, expected in cases:
            offered = complete(script, folder, line)
            if offered != expected:
                failures.append(f"{line!r}: offers {sorted(offered)}, expected {sorted(expected)}")
    if failures:
        print("\n".join(failures))
        return 1
    print(f"passed: {len(cases)} command lines complete as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
