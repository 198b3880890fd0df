#!/usr/bin/env python3
"""The run without arguments on a terminal says what it wrote, as the
commands do; -q silences it, and a file or a pipe never gets it.
Usage: terminal_summary_test.py GENERA_SCENARIO"""

import os
import pty
import subprocess
import sys
import tempfile

SUMMARY = ": 89.0 km, 14 stations, 38 signals, 1 slowdown"


def on_terminal(arguments, cwd):
    """stderr on a terminal, read back whole; stdout to a pipe."""
    master, slave = pty.openpty()
    with subprocess.Popen(arguments, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=slave) as process:
        os.close(slave)
        shown = b""
        while True:
            try:
                chunk = os.read(master, 4096)
            except OSError:  # the terminal's other end is closed
                break
            if not chunk:
                break
            shown += chunk
        out = process.stdout.read()
        status = process.wait()
    os.close(master)
    return status, shown.decode().replace("\r\n", "\n"), out.decode()


def main():
    exe = os.path.abspath(sys.argv[1])
    cases = [
        ("on a terminal", ["--out", "a"], f"Attendere\nwrote 6 files to a{SUMMARY}\n"),
        ("on a terminal, -q", ["--out", "b", "-q"], "Attendere\n"),
    ]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for name, arguments, wanted in cases:
            status, shown, out = on_terminal([exe] + arguments, folder)
            if (status, shown, out) != (0, wanted, ""):
                failures.append(f"{name}: status {status}, terminal {shown!r}, stdout {out!r}; "
                                f"want 0, {wanted!r}, ''")
        piped = subprocess.run([exe, "--out", "c"], cwd=folder, capture_output=True, text=True)
        if (piped.returncode, piped.stderr) != (0, ""):
            failures.append(f"to a pipe: status {piped.returncode}, stderr {piped.stderr!r}")
    for failure in failures:
        print(failure)
    print(f"{3 - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
