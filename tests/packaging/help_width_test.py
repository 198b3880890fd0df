#!/usr/bin/env python3
"""Every --help of the built program, its own and each command's, fits a
terminal of 80 columns. Usage: help_width_test.py GENERA_SCENARIO"""

import subprocess
import sys

from cli_help import options_by_command


def main():
    exe = sys.argv[1]
    wide = []
    for command in options_by_command(exe):
        args = [exe] + ([command] if command else []) + ["--help"]
        shown = subprocess.run(args, check=True, capture_output=True, text=True).stdout
        wide += [f"{' '.join(args[1:])}: {len(row)} columns: {row}"
                 for row in shown.splitlines() if len(row) > 80]
    if wide:
        print("wider than 80 columns:\n  " + "\n  ".join(wide))
        return 1
    print("passed: every --help fits in 80 columns")
    return 0


if __name__ == "__main__":
    sys.exit(main())
