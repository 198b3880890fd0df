#!/usr/bin/env python3
"""Kills a writing run at every file-system call in turn, and looks at the
folder it was writing.

For `compile` over an old set, and for the run without arguments over an
old set, it counts the run's file-system calls once (strace), then for each
call N of each kind runs it again under
`strace -f -e inject=CALL:signal=KILL:when=N`. After each kill:

  - at once, every output holds its old bytes or its new bytes, whole: a
    reader never finds one missing or mixed;
  - after the next run of another command that writes into the folder
    (`plot -o FOLDER/x.svg`, which recovers the folder first), the outputs are
    the old set or the new set, whole, and nothing else is there (but the
    run's two sources, byte for byte its own, when it was killed before it
    read them);
  - after the same command once more, the folder holds the new set exactly.

Usage: kill_test.py GENERA_SCENARIO
"""
import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile

CALLS = ["openat", "read", "write", "close", "fsync", "fdatasync", "newfstatat", "fstat", "lstat", "statx",
         "getdents64", "mkdir", "mkdirat", "rmdir", "link", "linkat", "rename", "renameat", "renameat2",
         "unlink", "unlinkat", "flock", "ftruncate"]

LINE = "LIVRA_MONTALBA_linea.txt"
TRAIN = "LIVRA_MONTALBA_R47316-.txt"
COMPACT = ["LIVRA_MONTALBA_linea.dat", "LIVRA_MONTALBA_R47316.sim", "LIVRA_MONTALBA_R47316.dat"]
DOCUMENTS = ["LIVRA_MONTALBA_R47316_note.txt", "LIVRA_MONTALBA_R47316_rallentamenti.txt",
             "LIVRA_MONTALBA_R47316_scheda_treno.txt"]


def files(folder):
    """{name: bytes} of the folder; anything but a regular file is marked."""
    out = {}
    for name in os.listdir(folder):
        p = os.path.join(folder, name)
        out[name] = open(p, "rb").read() if os.path.isfile(p) and not os.path.islink(p) else b"<not a file>"
    return out


def run(command, **kw):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, **kw)


def count_calls(command, log):
    run(["strace", "-f", "-qq", "-o", log, "-e", "trace=" + ",".join(CALLS)] + command, check=True)
    counts = collections.Counter()
    for line in open(log):
        m = re.match(r"^(?:\d+\s+)?([a-z0-9_]+)\(", line)
        if m and m.group(1) in CALLS:
            counts[m.group(1)] += 1
    return counts


def main():
    exe = os.path.realpath(sys.argv[1])
    if shutil.which("strace") is None:
        print("kill test skipped: strace is not installed (scripts/install-deps.sh test installs it)")
        return 0
    probe = subprocess.run(["strace", "-qq", "-o", os.devnull, "true"], stderr=subprocess.PIPE)
    if probe.returncode != 0:
        print("kill test skipped: strace cannot trace here: " + probe.stderr.decode(errors="replace").strip())
        return 0

    tmp = tempfile.mkdtemp(prefix="genera-kill-")
    failures = []
    points = 0
    try:
        src = os.path.join(tmp, "src")
        run([exe, "sources", "-o", src], check=True)
        sources = {n: open(os.path.join(src, n), "rb").read() for n in (LINE, TRAIN)}
        out = os.path.join(tmp, "out")
        cases = [
            ("compile", [exe, "compile", os.path.join(src, LINE), os.path.join(src, TRAIN), "-o", out, "-q"],
             COMPACT),
            ("the run without arguments", [exe, "-o", out], DOCUMENTS + COMPACT),
        ]
        recover = [exe, "plot", os.path.join(src, LINE), os.path.join(src, TRAIN), "-o",
                   os.path.join(out, "x.svg"), "-q"]

        for label, command, names in cases:
            old = {n: b"old %s\n" % n.encode() * (1 + 3000 * i) for i, n in enumerate(names)}

            def prepare():
                shutil.rmtree(out, ignore_errors=True)
                os.makedirs(out)
                for n, b in old.items():
                    with open(os.path.join(out, n), "wb") as f:
                        f.write(b)

            prepare()
            run(command, check=True)
            new = files(out)
            if sorted(new) != sorted(names):
                failures.append(f"{label}: a clean run leaves {sorted(new)}")
                continue
            prepare()
            counts = count_calls(command, os.path.join(tmp, "calls.log"))
            total = sum(counts.values())
            points += total
            print(f"{label}: {total} file-system calls: " +
                  ", ".join(f"{c} {n}" for c, n in sorted(counts.items())), flush=True)

            for call, n in sorted(counts.items()):
                for when in range(1, n + 1):
                    where = f"{label}, killed at {call} #{when}"
                    prepare()
                    done = run(["strace", "-f", "-qq", "-o", os.devnull, "-e", "trace=" + call,
                                "-e", f"inject={call}:signal=KILL:when={when}"] + command)
                    now = files(out)
                    for name in names:
                        if now.get(name) not in (old[name], new[name]):
                            failures.append(f"{where}: {name} holds "
                                            f"{'nothing' if name not in now else 'bytes of neither set'}")
                    if run(recover).returncode not in (0, 1):
                        failures.append(f"{where}: the next run (plot) failed")
                    now = files(out)
                    now.pop("x.svg", None)
                    for s, b in sources.items():
                        if now.get(s) == b:
                            now.pop(s)
                    if now != old and now != new:
                        odd = sorted(k for k in now if now[k] != old.get(k) and now[k] != new.get(k))
                        failures.append(f"{where}: after the next run the folder holds neither set: {odd}")
                    again = run(command)
                    now = files(out)
                    now.pop("x.svg", None)
                    if again.returncode != 0 or now != new:
                        failures.append(f"{where}: the same run again leaves {sorted(now)} (exit "
                                        f"{again.returncode}: {again.stderr.decode(errors='replace')})")
                    if done.returncode == 0 and when == n:
                        pass  # the last call of its kind: the run may have finished before the kill
    finally:
        shutil.rmtree(tmp, ignore_errors=True)

    for f in failures[:40]:
        print("FAILED: " + f)
    if failures:
        print(f"{len(failures)} failures in {points} kill points")
        return 1
    print(f"passed: {points} kill points; each left the old set or the new one whole, and nothing else "
          "after the next run")
    return 0


if __name__ == "__main__":
    sys.exit(main())
