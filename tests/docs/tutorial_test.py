#!/usr/bin/env python3
"""Runs the tutorial as a reader would: every sh block of the page, in
order, in one shell, in an empty folder, with the program on the PATH as
`genera_scenario`. Each block must succeed, and the text block after it
is its output (stdout and stderr): line for line, or, when it holds a
line "...", as lines found in that order with any lines between them
where the "..." stands. A block without a text block must print nothing.

Usage: tutorial_test.py GENERA_SCENARIO PAGE
"""

import os
import subprocess
import sys
import tempfile

from doc_blocks import blocks

MARK = "@@genera-tutorial-block@@"


def matches(got, want):
    """True when the lines `got` are the lines `want`, "..." standing for any
    run of lines (none included)."""
    if not want:
        return not got
    if want[0] == "...":
        return any(matches(got[i:], want[1:]) for i in range(len(got) + 1))
    return bool(got) and got[0] == want[0] and matches(got[1:], want[1:])


def main():
    exe, page = os.path.abspath(sys.argv[1]), sys.argv[2]
    every = blocks(page)
    steps = []  # (sh block, its text block or None)
    for n, b in enumerate(every):
        if b.info == "sh":
            after = every[n + 1] if n + 1 < len(every) else None
            steps.append((b, after if after is not None and after.info == "text" else None))
    if not steps:
        print(f"FAILED: no sh block in {page}")
        return 1

    script = ["set -e -o pipefail", "exec 2>&1"]
    for i, (b, _) in enumerate(steps):
        script += [f"echo '{MARK} {i}'", b.text.rstrip("\n")]
    script.append(f"echo '{MARK} end'")

    failures = []
    with tempfile.TemporaryDirectory() as d:
        bin_dir = os.path.join(d, "bin")
        os.mkdir(bin_dir)
        os.symlink(exe, os.path.join(bin_dir, "genera_scenario"))
        work = os.path.join(d, "work")
        os.mkdir(work)
        env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ.get("PATH", ""),
                   LC_ALL="C")
        run = subprocess.run(["bash", "-c", "\n".join(script)], cwd=work, env=env,
                             capture_output=True, text=True)

    outputs, current = {}, None
    for line in run.stdout.split("\n"):
        if line.startswith(MARK):
            current = line.split()[1]
            outputs[current] = []
        elif current is not None:
            outputs[current].append(line.rstrip())
    for i, (b, text) in enumerate(steps):
        got = outputs.get(str(i))
        if got is None:
            break
        while got and not got[-1]:
            got.pop()
        if str(i + 1) not in outputs and "end" not in outputs:
            failures.append(f"{b.where()}: the block fails (exit status {run.returncode}); "
                            "its output:\n    " + "\n    ".join(got))
            break
        if text is None:
            if got:
                failures.append(f"{b.where()}: the page shows no output, the commands print\n    " +
                                "\n    ".join(got))
            continue
        want = [l.rstrip() for l in text.text.rstrip("\n").split("\n")]
        if not matches(got, want):
            failures.append(f"{text.where()}: the output is\n    " + "\n    ".join(got) +
                            "\n  the page shows\n    " + "\n    ".join(want))
    if not failures and "end" not in outputs:
        failures.append(f"{page}: the commands did not run to the end: {run.stdout[-500:]}")
    if failures:
        print("FAILED:\n" + "\n".join(failures))
        return 1
    print(f"passed: every command of {page} runs and shows what the page says")
    return 0


if __name__ == "__main__":
    sys.exit(main())
