#!/usr/bin/env python3
"""The price of a durable commit: `compile` of the longest line
(1,000,000 m, bench/long_scenario.h) over an older set, against the fair
limit, a copy of the same three files that is just as durable (`cp` of them
into a folder, then `sync` of the copies), and against the parts: `check`
(the same compile, writing nothing) and `cp` alone. Medians of RUNS runs,
each over the files of the run before. A program that prints its figures,
never a test.

Usage: commit_bench.py BUILD_DIR [RUNS] [WORK_DIR]
  BUILD_DIR holds genera_scenario and genera_long_sources; WORK_DIR (default
  a new folder in /tmp) should be on the disk to measure."""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def timed(command):
    t0 = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return (time.perf_counter() - t0) * 1000


def main():
    build = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
    work = tempfile.mkdtemp(prefix="genera-commit-bench-", dir=sys.argv[3] if len(sys.argv) > 3 else None)
    try:
        exe = os.path.join(build, "genera_scenario")
        src = os.path.join(work, "src")
        out = os.path.join(work, "out")
        copy = os.path.join(work, "copy")
        os.makedirs(src)
        subprocess.run([os.path.join(build, "genera_long_sources"), src], check=True)
        line, train = os.path.join(src, "LUNGA_linea.txt"), os.path.join(src, "LUNGA_L1-.txt")
        compile_ = [exe, "compile", line, train, "-o", out, "-q"]
        subprocess.run(compile_, check=True)
        files = sorted(os.path.join(out, n) for n in os.listdir(out))
        size = sum(os.path.getsize(f) for f in files)
        os.makedirs(copy)

        figures = {"compile": [], "check": [], "cp + sync": [], "cp": []}
        for _ in range(runs):
            figures["compile"].append(timed(compile_))
            figures["check"].append(timed([exe, "check", line, train, "-q"]))
            figures["cp + sync"].append(timed(["sh", "-c", 'cp "$@" "$0" && sync "$0"/*', copy] + files))
            figures["cp"].append(timed(["cp"] + files + [copy]))
        m = {k: statistics.median(v) for k, v in figures.items()}
        print(f"longest line: {len(files)} files, {size / 1048576:.1f} MiB, {runs} runs, medians, in {work}")
        for k, v in m.items():
            print(f"  {k:<10} {v:8.1f} ms")
        print(f"  compile - check (the writing of a durable commit): {m['compile'] - m['check']:.1f} ms, "
              f"against cp + sync {m['cp + sync']:.1f} ms: ratio {(m['compile'] - m['check']) / m['cp + sync']:.2f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
