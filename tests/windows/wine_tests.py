#!/usr/bin/env python3
"""The Windows build of genera_scenario, run under Wine on an Xvfb display.

Each test gets a fresh temporary folder, its own Xvfb display and a fresh
Wine prefix, and stops all three when it ends, pass or fail; the runs of one
test share its prefix and a Wine server kept up between them. Every program
runs under `timeout`, in the C.UTF-8 locale, from which Wine takes the
encoding of file names. The given Linux build of the same sources is run
once first; its files are the reference the Windows files must match byte
for byte.

    wine_tests.py --exe build/windows/genera_scenario.exe \\
                  --probe build/windows/probe/window_probe.exe \\
                  --linux build/ci/genera_scenario [--artifacts DIR] [--only NAME]

The console program genera_scenario.com is taken from beside the .exe.

Prints one line per test and "N passed, N failed"; exits 1 on any failure.
Screenshots (and, on failure, the programs' output) go to the artifacts
folder, by default wine-artifacts beside the .exe.
"""

import argparse
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

SIX_FILES = {
    "LIVRA_MONTALBA_R47316_note.txt",
    "LIVRA_MONTALBA_R47316_rallentamenti.txt",
    "LIVRA_MONTALBA_R47316_scheda_treno.txt",
    "LIVRA_MONTALBA_linea.dat",
    "LIVRA_MONTALBA_R47316.sim",
    "LIVRA_MONTALBA_R47316.dat",
}
COMPACT = re.compile(r"\.(dat|sim)$", re.IGNORECASE)
SOURCE_LINE = "LIVRA_MONTALBA_linea.txt"
SOURCE_TRAIN = "LIVRA_MONTALBA_R47316-.txt"

# A signal at 0 m lands on cell 1; its first aspect pair (4, 3) makes the
# cell's valore1 43, so the race-code marker slot is taken.
LINE_SOURCE = "[generale]\r\nlunghezza percorso, 5000\r\n[fine]\r\n"
TRAIN_SOURCE = ("[generale]\r\n"
                "segnale,    0,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n"
                "[fine]\r\n")

# What the wait window measures in pixels at a given DPI: twips * dpi / 1440
# to the nearest pixel, halves up (MulDiv). 96 DPI rounds 179.2, 176.8 and
# 52.8; 144 DPI rounds 268.8, 265.2 and 79.2. The label is as wide as that
# or, where the face standing in for MS Sans Serif is wider, as wide as its
# text, so that no letter is cut off.
WINDOW_AT_DPI = {
    96: {"form_client": "280x179", "label_at": "64,64"},
    144: {"form_client": "420x269", "label_at": "96,96"},
}
LABEL_AT_DPI = {96: (177, 53), 144: (265, 79)}

# Folders the program must work in whatever their name: characters outside
# ASCII, outside the ANSI code page (1252 here), and a name over 100
# characters.
FOLDER_NAMES = [
    "prova€",
    "Škoda",
    "Città",
    "東京",
    "Linea Livra–Montalba, scenari di prova per la simulazione di guida con tutte le stazioni e i "
    "rallentamenti",
]

WINE_LIMIT = 120  # seconds for one program run under Wine
BOOT_LIMIT = 240  # seconds for a fresh prefix


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def files_in(folder, skip=()):
    """{name: bytes} of the plain files directly in folder."""
    found = {}
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if name not in skip and os.path.isfile(path):
            with open(path, "rb") as f:
                found[name] = f.read()
    return found


def windows_path(path):
    """The Windows name of a Unix path: Wine maps / to drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def escaped(text):
    """Text as window_probe prints a value: line ends as \\n and \\r."""
    return text.replace("\r", "\\r").replace("\n", "\\n")


def probe_facts(output):
    """{key: value} of window_probe's key=value lines (the last of each key)."""
    return dict(row.split("=", 1) for row in output.replace("\r", "").splitlines() if "=" in row)


def console_rows(output):
    """The console rows window_probe read back, in order."""
    return [row.split("=", 1)[1] for row in output.replace("\r", "").splitlines()
            if row.startswith("console=")]


def compare_files(got, want, where):
    """Fails with the names or the first differing byte when got != want."""
    check(set(got) == set(want),
          f"{where}: files differ from the Linux build's\n"
          f"  only in {where}: {sorted(set(got) - set(want))}\n"
          f"  only on Linux: {sorted(set(want) - set(got))}")
    for name in sorted(want):
        a, b = got[name], want[name]
        if a != b:
            at = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
            raise Failure(f"{where}: {name} differs from the Linux build's at byte {at} "
                          f"({len(a)} bytes here, {len(b)} on Linux)")


class Session:
    """One test's world: a temporary folder, an Xvfb display, a Wine prefix.

    close() stops every process the session started (by its own id), shuts
    the prefix's wineserver down, notes in `troubles` whatever had to be
    stopped or had stopped too early, and deletes the folder."""

    def __init__(self, name, artifacts, probe):
        self.name = name
        self.probe = probe
        self.artifacts = artifacts
        self.tmp = tempfile.mkdtemp(prefix=f"genera-wine-{name}-")
        self.prefix = os.path.join(self.tmp, "prefix")
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", WINEARCH="win64",
                        LANG="C.UTF-8", LC_ALL="C.UTF-8")
        self.xvfb = None
        self.spawned = []
        if os.path.isdir(artifacts):  # nothing stale from an earlier run
            for old in os.listdir(artifacts):
                if old == name + ".png" or old.startswith(name + "-"):
                    os.remove(os.path.join(artifacts, old))
        self.troubles = []

    def folder(self, *parts):
        path = os.path.join(self.tmp, *parts)
        os.makedirs(path, exist_ok=True)
        return path

    def start(self, dpi=96):
        read_end, write_end = os.pipe()
        try:
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=open(os.path.join(self.tmp, "xvfb.log"), "wb"), start_new_session=True)
            os.close(write_end)
            write_end = -1
            # Xvfb writes the number and then a line end, two writes; the
            # pipe must stay open until both are in, or Xvfb dies.
            given = b""
            deadline = time.monotonic() + 30
            while not given.endswith(b"\n") and time.monotonic() < deadline:
                ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
                chunk = os.read(read_end, 64) if ready else b""
                if not chunk:
                    break
                given += chunk
            number = given.decode(errors="replace").strip()
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)
        check(number.isdigit(), "Xvfb did not report a display within 30 s")
        self.env["DISPLAY"] = ":" + number

        # One Wine server for all the test's runs, up until close() (or a
        # minute without a Wine process, should the harness itself die); it
        # must start before anything else of Wine does.
        os.makedirs(self.prefix)
        server = self.run(["wineserver", "-p60"], limit=30)
        check(server.returncode == 0, f"wineserver -p60 failed ({server.returncode}): {server.stderr}")
        boot = self.run(["wineboot", "-i"], limit=BOOT_LIMIT)
        check(boot.returncode == 0, f"wineboot failed ({boot.returncode}): {boot.stderr[-2000:]}")
        # No crash dialog (it would be one more dialog box and wait for a
        # click), and the screen's DPI for the wait window's measures.
        reg = os.path.join(self.tmp, "settings.reg")
        with open(reg, "w", encoding="ascii") as f:
            f.write("REGEDIT4\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"
                    "\"ShowCrashDialog\"=dword:00000000\n\n"
                    "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"
                    f"\"LogPixels\"=dword:{dpi:08x}\n")
        done = self.wine(["regedit", "/S", reg], limit=60)
        check(done.returncode == 0, f"regedit failed ({done.returncode})")
        # Wine can make windows on this display: the desktop process is up
        # before the program under test starts, as it is on Windows.
        ready = self.wine([self.probe, "desktop", "30"], limit=60)
        check(ready.returncode == 0, f"Wine's desktop did not start: {ready.stdout}{ready.stderr}")

    def run(self, command, limit, cwd=None):
        """Runs command to its end under `timeout`, its output read back as text.

        The output goes through files, not pipes: Wine's own background
        processes inherit the handles and would hold a pipe open."""
        with tempfile.TemporaryFile(dir=self.tmp) as out, tempfile.TemporaryFile(dir=self.tmp) as err:
            done = subprocess.run(["timeout", "-k", "5", str(limit)] + command, cwd=cwd or self.tmp,
                                  env=self.env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=limit + 30)
            out.seek(0)
            err.seek(0)
            done.stdout = out.read().decode(errors="replace")
            done.stderr = err.read().decode(errors="replace")
        return done

    def wine(self, arguments, limit=WINE_LIMIT, cwd=None):
        return self.run(["wine"] + arguments, limit, cwd)

    def spawn_wine(self, arguments, cwd, log_name):
        """Starts wine in the background in a session of its own."""
        log = open(os.path.join(self.tmp, log_name), "wb")
        process = subprocess.Popen(["timeout", "-k", "5", str(WINE_LIMIT), "wine"] + arguments,
                                   cwd=cwd, env=self.env, stdin=subprocess.DEVNULL, stdout=log,
                                   stderr=subprocess.STDOUT, start_new_session=True)
        log.close()
        self.spawned.append(process)
        return process

    def screenshot(self, part=None):
        """The whole display, as the test's artifact NAME.png (NAME-PART.png)."""
        os.makedirs(self.artifacts, exist_ok=True)
        path = os.path.join(self.artifacts, self.name + (f"-{part}" if part else "") + ".png")
        shot = self.run(["import", "-display", self.env["DISPLAY"], "-window", "root", path], 60)
        check(shot.returncode == 0 and os.path.getsize(path) > 0,
              f"no screenshot ({shot.returncode}): {shot.stderr[-500:]}")
        return path

    def keep_logs(self):
        """Copies the background programs' output to the artifacts."""
        os.makedirs(self.artifacts, exist_ok=True)
        for name in os.listdir(self.tmp):
            if name.endswith(".log"):
                shutil.copy(os.path.join(self.tmp, name),
                            os.path.join(self.artifacts, f"{self.name}-{name}"))

    def stop_wineserver(self):
        if not os.path.isdir(self.prefix):
            return
        self.run(["wineserver", "-k"], 30)
        waited = self.run(["wineserver", "-w"], 60)
        if waited.returncode != 0:
            self.troubles.append("the Wine server did not stop")

    def close(self, keep_logs):
        for process in self.spawned:
            if process.poll() is None:
                self.troubles.append(f"wine (pid {process.pid}) was still running")
                os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        self.stop_wineserver()
        if self.xvfb is not None:
            if self.xvfb.poll() is not None:
                self.troubles.append(f"Xvfb stopped early ({self.xvfb.returncode})")
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
        if keep_logs or self.troubles:
            self.keep_logs()
        shutil.rmtree(self.tmp, ignore_errors=True)


def run_linux(command, cwd):
    """A run of the Linux build to its end, its output as text."""
    return subprocess.run(["timeout", "-k", "5", "120"] + command, cwd=cwd, stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, errors="replace", timeout=150)


def run_linux_reference(linux_exe):
    """The six files of the Linux build, run in a fresh folder, and the two
    sources its `sources` command writes: ({name: bytes}, {name: bytes}, error)."""
    folder = tempfile.mkdtemp(prefix="genera-wine-linux-")
    try:
        exe = os.path.join(folder, "genera_scenario")
        shutil.copy(linux_exe, exe)
        done = run_linux([exe], "/")
        if done.returncode != 0:
            return None, None, f"the Linux build failed ({done.returncode}): {done.stderr[-1000:]}"
        files = files_in(folder, skip={"genera_scenario"})
        made = run_linux([exe, "sources", "--out", "sources"], folder)
        if made.returncode != 0:
            return None, None, f"the Linux build's sources failed ({made.returncode}): {made.stderr[-1000:]}"
        sources = files_in(os.path.join(folder, "sources"))
        sources = {name: sources[name] for name in (SOURCE_LINE, SOURCE_TRAIN)}
        return files, sources, None
    finally:
        shutil.rmtree(folder, ignore_errors=True)


# ---- the tests ------------------------------------------------------------


def test_empty_folder_matches_linux(s, ctx):
    """No arguments, an empty folder: the six files of the Linux build."""
    s.start()
    folder = s.folder("run folder")  # a blank in the path, like Program Files
    elsewhere = s.folder("elsewhere")
    shutil.copy(ctx.exe, os.path.join(folder, "genera_scenario.exe"))
    done = s.wine([os.path.join(folder, "genera_scenario.exe")], cwd=elsewhere)
    check(done.returncode == 0, f"exit status {done.returncode}: {done.stderr[-1000:]}")
    got = files_in(folder, skip={"genera_scenario.exe"})
    compare_files(got, ctx.linux_files, "the program's folder")
    check(set(got) == SIX_FILES, f"expected the six files, got {sorted(got)}")
    check(os.listdir(elsewhere) == [], f"files written to the working folder: {os.listdir(elsewhere)}")


def test_older_files_replaced_whole(s, ctx):
    """Older copies, longer and shorter, are replaced by exactly the new bytes."""
    s.start()
    folder = s.folder("run")
    shutil.copy(ctx.exe, os.path.join(folder, "genera_scenario.exe"))
    for i, name in enumerate(sorted(SIX_FILES)):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(b"x" * (200000 if i % 2 else 1))
    done = s.wine([os.path.join(folder, "genera_scenario.exe")], cwd=folder)
    check(done.returncode == 0, f"exit status {done.returncode}: {done.stderr[-1000:]}")
    compare_files(files_in(folder, skip={"genera_scenario.exe"}), ctx.linux_files,
                  "the program's folder")


def test_drive_root(s, ctx):
    """At the root of drive X: the folder is "X:\\" and the files land there."""
    s.start()
    root = s.folder("drive-x")
    elsewhere = s.folder("elsewhere")
    os.symlink(root, os.path.join(s.prefix, "dosdevices", "x:"))
    shutil.copy(ctx.exe, os.path.join(root, "genera_scenario.exe"))
    done = s.wine(["X:\\genera_scenario.exe"], cwd=elsewhere)
    check(done.returncode == 0, f"exit status {done.returncode}: {done.stderr[-1000:]}")
    compare_files(files_in(root, skip={"genera_scenario.exe"}), ctx.linux_files, "X:\\")
    check(os.listdir(elsewhere) == [], f"files written to the working folder: {os.listdir(elsewhere)}")


def test_folder_names(s, ctx):
    """In folders named in any script, and one with a long name: the run
    without arguments writes the six files of the Linux build beside the
    program, `compile` of sources in such a folder writes the three
    compact files into an output folder there, `inspect` checks them against
    each other there and `view -o` writes its page there."""
    s.start()
    elsewhere = s.folder("elsewhere")
    compact = {name: data for name, data in ctx.linux_files.items() if COMPACT.search(name)}
    for name in FOLDER_NAMES:
        folder = s.folder(name)
        exe = os.path.join(folder, "genera_scenario.exe")
        shutil.copy(ctx.exe, exe)
        done = s.wine([exe], cwd=elsewhere)
        check(done.returncode == 0, f"{name}: exit status {done.returncode}: {done.stderr[-1000:]}")
        compare_files(files_in(folder, skip={"genera_scenario.exe"}), ctx.linux_files, name)

        sources = s.folder(name, "sorgenti")
        for source, data in ctx.linux_sources.items():
            with open(os.path.join(sources, source), "wb") as f:
                f.write(data)
        out = os.path.join(folder, "uscita")  # compile creates it
        done = s.wine([exe, "compile", windows_path(os.path.join(sources, SOURCE_LINE)),
                       windows_path(os.path.join(sources, SOURCE_TRAIN)), "--out", windows_path(out)],
                      cwd=elsewhere)
        check(done.returncode == 0, f"{name}: compile: exit status {done.returncode}: {done.stderr[-1000:]}")
        compare_files(files_in(out), compact, f"{name}/uscita")
        compare_files(files_in(sources), ctx.linux_sources, f"{name}/sorgenti")

        # inspect finds the scenario file beside a route file and a plan, and
        # view -o writes its page, in that folder too: every path the wide way.
        done = s.wine([exe, "inspect", windows_path(os.path.join(out, "LIVRA_MONTALBA_R47316.dat")),
                       windows_path(os.path.join(out, "LIVRA_MONTALBA_linea.dat"))], cwd=elsewhere)
        check(done.returncode == 0 and "unchecked" not in done.stderr,
              f"{name}: inspect: exit status {done.returncode}: {done.stderr[-1000:]}")
        page = os.path.join(folder, "pagina.html")
        done = s.wine([exe, "view", windows_path(os.path.join(sources, SOURCE_LINE)),
                       windows_path(os.path.join(sources, SOURCE_TRAIN)), "-o", windows_path(page)],
                      cwd=elsewhere)
        check(done.returncode == 0 and os.path.getsize(page) > 100000,
              f"{name}: view -o: exit status {done.returncode}: {done.stderr[-1000:]}")
    check(os.listdir(elsewhere) == [], f"files written to the working folder: {os.listdir(elsewhere)}")


def write_race_code_sources(folder):
    """Sources whose race-code marker slot is taken: compile ends on 1250."""
    for name, text in ((SOURCE_LINE, LINE_SOURCE), (SOURCE_TRAIN, TRAIN_SOURCE)):
        with open(os.path.join(folder, name), "w", encoding="ascii", newline="") as f:
            f.write(text)


def compact_files_under(s):
    """The compact files anywhere in the test's folder, outside the prefix."""
    return [os.path.relpath(os.path.join(d, n), s.tmp)
            for d, _, names in os.walk(s.tmp) if not d.startswith(s.prefix)
            for n in names if COMPACT.search(n)]


def error_box_test(dpi):
    def test(s, ctx):
        s.start(dpi)
        program = s.folder("program")
        work = s.folder("work")
        s.folder("work", "out")
        exe = os.path.join(program, "genera_scenario.exe")
        shutil.copy(ctx.exe, exe)
        write_race_code_sources(work)

        # Started as from Explorer: no console, no standard handles, so the
        # box is the only way to reach the user.
        run = s.spawn_wine([ctx.probe, "launch", str(WINE_LIMIT - 20), windows_path(exe), "compile",
                            SOURCE_LINE, SOURCE_TRAIN, "--out", "out"], work, "program.log")
        seen = s.wine([ctx.probe, "inspect", "60"], limit=90)
        with open(os.path.join(s.tmp, "probe.log"), "w") as f:
            f.write(seen.stdout + seen.stderr)
        facts = probe_facts(seen.stdout)
        s.screenshot()
        check(facts.get("box_found") == "yes",
              f"no message box within 60 s (program "
              f"{'still running' if run.poll() is None else f'ended with {run.returncode}'})")

        want = {
            "box_text": " Errore n. 1250",
            "box_title": "Error",
            "box_buttons": "OK",
            "box_icons": "0",
        }
        if facts.get("form_found") == "yes":
            want.update({
                "same_process": "yes",
                "form_caption": "Form1",
                "dpi": f"{dpi}x{dpi}",
                "form_children": "1",
                "label_class": "Static",
                "label_text": "Attendere",
                **WINDOW_AT_DPI[dpi],
            })
        wrong = [f"{k}: got {facts.get(k)!r}, want {v!r}" for k, v in want.items() if facts.get(k) != v]
        if facts.get("form_found") != "yes":
            wrong.append('no wait window "Form1" on screen while the box waited')
        else:
            wrong += label_problems(facts, dpi)

        pressed = s.wine([ctx.probe, "press-ok", "10"], limit=40)
        check(pressed.returncode == 0, f"could not press OK: {pressed.stdout}")
        try:
            status = run.wait(60)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end within 60 s of OK")
        if status != 1:
            wrong.append(f"exit status {status} after the box, want 1")
        if compact_files_under(s):
            wrong.append(f"compact files written despite the error: {compact_files_under(s)}")
        check(not wrong, "not as expected:\n  " + "\n  ".join(wrong))
    test.__doc__ = (f"Error 1250 at {dpi} DPI, started as from Explorer: the wait window and the "
                    "box; OK ends the run.")
    return test


def label_problems(facts, dpi):
    """What is wrong with the label's size: its height as designed, its
    width the design's or, for a wider face, its text's, within the form."""
    size = re.fullmatch(r"(\d+)x(\d+)", facts.get("label_size", ""))
    if not size:
        return [f"label_size: got {facts.get('label_size')!r}"]
    width, height = int(size.group(1)), int(size.group(2))
    design_width, design_height = LABEL_AT_DPI[dpi]
    text = int(facts.get("label_text_width", "0"))
    problems = []
    if height != design_height:
        problems.append(f"label height {height}, want {design_height}")
    if width != max(design_width, text + 1) and not (text >= design_width and width >= text):
        problems.append(f"label width {width}, want {max(design_width, text + 1)}")
    if "label_text_width" not in facts:
        problems.append("the label's font could not be read to measure its text")
    elif text > width:
        problems.append(f"the text is {text} pixels wide, the label {width}: its end is cut off")
    return problems


def test_error_1250_caught(s, ctx):
    """compile with its output caught: 1250 on stderr as on Linux, exit 1, no box to wait on."""
    s.start()
    work = s.folder("work")
    linux = s.folder("linux")
    for folder in (work, linux):
        write_race_code_sources(folder)
    want = run_linux([ctx.linux, "compile", SOURCE_LINE, SOURCE_TRAIN, "--out", "out", "--json"], linux)
    check(want.returncode == 1 and " Errore n. 1250\n" in want.stderr,
          f"the Linux build did not end on 1250 ({want.returncode}): {want.stderr}")
    shutil.rmtree(linux)

    # A box would wait until the time is up: the limit is the test.
    done = s.wine([ctx.exe, "compile", SOURCE_LINE, SOURCE_TRAIN, "--out", "out", "--json"], limit=60,
                  cwd=work)
    check(done.returncode != 124, "the program waited (on a box?) until it was stopped after 60 s")
    check(done.returncode == 1, f"exit status {done.returncode}, want 1: {done.stderr[-1000:]}")
    check(done.stderr == want.stderr.replace("\n", "\r\n"),
          f"stderr differs from the Linux build's:\n{done.stderr!r}\n{want.stderr!r}")
    check(done.stdout == want.stdout.replace("\n", "\r\n"),
          f"stdout differs from the Linux build's:\n{done.stdout!r}\n{want.stdout!r}")
    check(compact_files_under(s) == [], f"compact files written: {compact_files_under(s)}")


def test_failures_on_a_console(s, ctx):
    """Started from a console: a folder in the way and error 1250 are shown
    on it whole, through the wide console calls, and nothing waits."""
    s.start()
    folder = s.folder("Città €")
    exe = os.path.join(folder, "genera_scenario.exe")
    shutil.copy(ctx.exe, exe)
    target = s.folder("Città €", "LIVRA_MONTALBA_R47316.sim")
    seen = s.wine([ctx.probe, "console", "60", windows_path(exe)], limit=90, cwd=s.tmp)
    facts = probe_facts(seen.stdout)
    check(facts.get("exit_status") == "3", f"exit status {facts.get('exit_status')}, want 3: {seen.stdout}")
    want = [f"genera_scenario: cannot replace {windows_path(target)}: it is a folder"]
    check(console_rows(seen.stdout) == want,
          f"the console shows {console_rows(seen.stdout)!r}, want {want!r}")
    check(os.path.isdir(target), "the folder in the way is gone")

    work = s.folder("work")
    linux = s.folder("linux")
    for where in (work, linux):
        write_race_code_sources(where)
    expected = run_linux([ctx.linux, "compile", SOURCE_LINE, SOURCE_TRAIN, "--out", "out"], linux)
    seen = s.wine([ctx.probe, "console", "60", windows_path(exe), "compile", SOURCE_LINE, SOURCE_TRAIN,
                   "--out", "out"], limit=90, cwd=work)
    facts = probe_facts(seen.stdout)
    check(facts.get("exit_status") == "1", f"compile: exit status {facts.get('exit_status')}, want 1 "
                                           f"(timeout: it waited on a box): {seen.stdout}")
    want = expected.stderr.splitlines()
    check(console_rows(seen.stdout) == want,
          f"compile: the console shows {console_rows(seen.stdout)!r}, want {want!r}")


def test_failure_boxes(s, ctx):
    """Started as from Explorer, in a folder with a name outside ASCII: a
    folder standing where an output goes, and a file dropped onto the
    program, each end in a box with the error icon and the text a console
    would get; OK ends the run with 3 and 2, the folder and the older files
    kept."""
    s.start()
    folder = s.folder("Città €")
    exe = os.path.join(folder, "genera_scenario.exe")
    shutil.copy(ctx.exe, exe)
    target = s.folder("Città €", "LIVRA_MONTALBA_R47316.sim")
    older = os.path.join(folder, "LIVRA_MONTALBA_R47316.dat")
    with open(older, "wb") as f:
        f.write(b"older route file")
    dropped = os.path.join(folder, "appunti di viaggio.txt")
    with open(dropped, "wb") as f:
        f.write(b"notes")

    cases = [
        ("folder_in_the_way", [], 3,
         f"genera_scenario: cannot replace {windows_path(target)}: it is a folder"),
        ("dropped_file", [windows_path(dropped)], 2,
         f"genera_scenario: unknown argument \"{windows_path(dropped)}\"\n\n"
         "Started from Explorer, the program takes no files or options: a double click writes the "
         "built-in scenario into the program's folder. The commands are typed in cmd or "
         "PowerShell; the manual is manual\\index.html beside the program."),
    ]
    wrong = []
    for part, arguments, status_wanted, text in cases:
        run = s.spawn_wine([ctx.probe, "launch", str(WINE_LIMIT - 20), windows_path(exe)] + arguments,
                           s.tmp, f"{part}.log")
        seen = s.wine([ctx.probe, "inspect", "60"], limit=90)
        with open(os.path.join(s.tmp, f"{part}-probe.log"), "w") as f:
            f.write(seen.stdout + seen.stderr)
        facts = probe_facts(seen.stdout)
        s.screenshot(part)
        check(facts.get("box_found") == "yes",
              f"{part}: no message box within 60 s (program "
              f"{'still running' if run.poll() is None else f'ended with {run.returncode}'})")
        want = {"box_text": escaped(text), "box_title": "genera_scenario", "box_buttons": "OK",
                "box_icons": "1"}
        wrong += [f"{part}: {k}: got {facts.get(k)!r}, want {v!r}" for k, v in want.items()
                  if facts.get(k) != v]
        pressed = s.wine([ctx.probe, "press-ok", "10"], limit=40)
        check(pressed.returncode == 0, f"{part}: could not press OK: {pressed.stdout}")
        try:
            status = run.wait(60)
        except subprocess.TimeoutExpired:
            raise Failure(f"{part}: the program did not end within 60 s of OK")
        if status != status_wanted:
            wrong.append(f"{part}: exit status {status} after the box, want {status_wanted}")
    if not os.path.isdir(target):
        wrong.append("the folder in the way is gone")
    with open(older, "rb") as f:
        if f.read() != b"older route file":
            wrong.append("the older route file was changed")
    check(not wrong, "not as expected:\n  " + "\n  ".join(wrong))


def test_text_boxes(s, ctx):
    """Started as from Explorer, --help and --version have no console to
    print on: their text shows in a box (OK, the program's name as title),
    the help pointing to the HTML manual beside the program and offering no
    --serve, which this build lacks; OK ends the run with 0."""
    s.start()
    folder = s.folder("program")
    exe = os.path.join(folder, "genera_scenario.exe")
    shutil.copy(ctx.exe, exe)
    version = run_linux([ctx.linux, "--version"], s.tmp).stdout.strip()
    cases = [
        ("help", ["--help"], lambda t: t.startswith("Builds the scenario pack")
         and "manual\\index.html beside the program" in t and "man genera_scenario" not in t),
        ("version", ["--version"], lambda t: t == version),
        ("view_help", ["view", "--help"], lambda t: "--out" in t and "--serve" not in t
         and "--port" not in t),
    ]
    wrong = []
    for part, arguments, fits in cases:
        run = s.spawn_wine([ctx.probe, "launch", str(WINE_LIMIT - 20), windows_path(exe)] + arguments,
                           s.tmp, f"{part}.log")
        seen = s.wine([ctx.probe, "inspect", "60"], limit=90)
        facts = probe_facts(seen.stdout)
        s.screenshot(part)
        check(facts.get("box_found") == "yes",
              f"{part}: no box within 60 s (program "
              f"{'still running' if run.poll() is None else f'ended with {run.returncode}'})")
        text = facts.get("box_text", "").replace("\\r", "").replace("\\n", "\n")
        if not fits(text):
            wrong.append(f"{part}: box text not as expected:\n{text}")
        if facts.get("box_title") != "genera_scenario" or facts.get("box_buttons") != "OK":
            wrong.append(f"{part}: title {facts.get('box_title')!r}, buttons {facts.get('box_buttons')!r}")
        pressed = s.wine([ctx.probe, "press-ok", "10"], limit=40)
        check(pressed.returncode == 0, f"{part}: could not press OK: {pressed.stdout}")
        try:
            status = run.wait(60)
        except subprocess.TimeoutExpired:
            raise Failure(f"{part}: the program did not end within 60 s of OK")
        if status != 0:
            wrong.append(f"{part}: exit status {status} after the box, want 0")
    check(not wrong, "not as expected:\n  " + "\n  ".join(wrong))


class CmdPrompt:
    """An interactive `wine cmd` in tmux, typed into as a person types."""

    PROMPT = "READY>"

    def __init__(self, s, folder):
        self.s = s
        self.socket = os.path.join(s.tmp, "tmux.sock")
        self.tmux("-f", "/dev/null", "new-session", "-d", "-s", "cmd", "-x", "200", "-y", "60",
                  "-c", folder, "timeout -k 5 %d wine cmd" % (WINE_LIMIT * 3))
        # Keys typed before cmd reads them would be lost or run together.
        self.wait(lambda rows: rows and rows[-1].endswith(">"), "the first prompt")
        self.type("prompt " + self.PROMPT.replace(">", "$G"))
        self.wait(lambda rows: rows and rows[-1] == self.PROMPT, "the new prompt")
        self.type("cls")
        self.wait(lambda rows: rows == [self.PROMPT], "a clear screen")

    def tmux(self, *args):
        return subprocess.run(["tmux", "-S", self.socket] + list(args), env=self.s.env, check=True,
                              capture_output=True, text=True, timeout=30)

    def rows(self):
        screen = self.tmux("capture-pane", "-p", "-J", "-t", "cmd").stdout
        return [row.rstrip() for row in screen.splitlines() if row.strip()]

    def wait(self, condition, what, limit=90):
        deadline = time.monotonic() + limit
        while True:
            rows = self.rows()
            if condition(rows):
                return rows
            if time.monotonic() > deadline:
                raise Failure(f"cmd did not show {what} within {limit} s:\n    | " +
                              "\n    | ".join(rows))
            time.sleep(0.2)

    def type(self, line):
        self.tmux("send-keys", "-t", "cmd", "-l", line)
        self.tmux("send-keys", "-t", "cmd", "Enter")

    def run(self, line):
        """Types `line`, waits for the next prompt; the rows shown between."""
        before = len(self.rows())
        typed = self.PROMPT + line
        self.type(line)

        def done(rows):
            starts = [i for i, row in enumerate(rows) if row == typed and i >= before - 1]
            return starts and rows[-1] == self.PROMPT and len(rows) - 1 > starts[-1]
        rows = self.wait(done, f"the prompt after {line!r}")
        start = max(i for i, row in enumerate(rows) if row == typed)
        return rows[start + 1:-1]

    def close(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], env=self.s.env,
                       capture_output=True, timeout=30)


def test_cmd_prompt(s, ctx):
    """Typed at an interactive cmd prompt in tmux, `genera_scenario` is the
    console program genera_scenario.com: the prompt waits for it, what it
    prints comes whole before the next prompt, the same rows as the Linux
    build prints, and %errorlevel% is its exit status (3, 2, 1 and 0)."""
    s.start()
    folder = s.folder("program")
    shutil.copy(ctx.exe, os.path.join(folder, "genera_scenario.exe"))
    shutil.copy(ctx.com, os.path.join(folder, "genera_scenario.com"))
    linux = s.folder("linux")
    race = s.folder("program", "race")
    write_race_code_sources(race)
    shutil.copytree(race, os.path.join(linux, "race"))
    cases = [
        ("a file that cannot be read", "inspect missing.sim", 3),
        ("an unknown option", "sources --forse", 2),
        ("the built-in sources", "sources", 0),
        ("a compile", f"compile {SOURCE_LINE} {SOURCE_TRAIN} --out out", 0),
        ("the version", "--version", 0),
        ("error 1250, in the folder race", f"compile {SOURCE_LINE} {SOURCE_TRAIN} --out out", 1),
    ]
    prompt = CmdPrompt(s, folder)
    wrong = []
    try:
        # As README.txt suggests: the program's folder on the Path, so that
        # it is found from any folder.
        check(prompt.run(f"set PATH={windows_path(folder)};%PATH%") == [], "set PATH shows something")
        for name, arguments, status in cases:
            if name.endswith("in the folder race"):
                check(prompt.run("cd race") == [], "cd race shows something")
                linux = os.path.join(linux, "race")
            want = run_linux([ctx.linux] + arguments.split(), linux)
            want_rows = [row.rstrip() for row in (want.stdout + want.stderr).splitlines() if row.strip()]
            # The system's own reason is worded by each system.
            want_rows = [row.replace("No such file or directory", "File not found") for row in want_rows]
            if want.returncode != status:
                wrong.append(f"{name}: the Linux build ends with {want.returncode}, want {status}")
            shown = prompt.run("genera_scenario " + arguments)
            if shown != want_rows:
                wrong.append(f"{name}: before the next prompt cmd shows {shown!r}, want {want_rows!r}")
            level = prompt.run("echo %errorlevel%")
            if level != [str(status)]:
                wrong.append(f"{name}: %errorlevel% shows {level!r}, want {status}")
        s.screenshot_text = "\n".join(prompt.rows())
    finally:
        prompt.close()
    os.makedirs(s.artifacts, exist_ok=True)
    with open(os.path.join(s.artifacts, "cmd_prompt-screen.txt"), "w", encoding="utf-8") as f:
        f.write(getattr(s, "screenshot_text", ""))
    check(not wrong, "not as expected:\n  " + "\n  ".join(wrong))


TESTS = [
    ("empty_folder_matches_linux", test_empty_folder_matches_linux),
    ("older_files_replaced_whole", test_older_files_replaced_whole),
    ("drive_root", test_drive_root),
    ("folder_names", test_folder_names),
    ("error_1250_96dpi", error_box_test(96)),
    ("error_1250_144dpi", error_box_test(144)),
    ("error_1250_caught", test_error_1250_caught),
    ("failures_on_a_console", test_failures_on_a_console),
    ("failure_boxes", test_failure_boxes),
    ("text_boxes", test_text_boxes),
    ("cmd_prompt", test_cmd_prompt),
]


class Context:
    pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True, help="genera_scenario.exe")
    parser.add_argument("--probe", required=True, help="window_probe.exe")
    parser.add_argument("--linux", required=True, help="genera_scenario of the Linux build")
    parser.add_argument("--artifacts", help="folder for screenshots and logs")
    parser.add_argument("--only", action="append", help="run only tests whose name contains this")
    args = parser.parse_args()

    ctx = Context()
    ctx.exe = os.path.abspath(args.exe)
    ctx.com = os.path.splitext(ctx.exe)[0] + ".com"
    ctx.probe = os.path.abspath(args.probe)
    ctx.linux = os.path.abspath(args.linux)
    artifacts = os.path.abspath(args.artifacts or os.path.join(os.path.dirname(ctx.exe),
                                                               "wine-artifacts"))
    for tool in ("wine", "wineserver", "Xvfb", "import", "timeout", "tmux"):
        if shutil.which(tool) is None:
            print(f"missing tool: {tool} (scripts/install-deps.sh test installs it)")
            return 1
    for path in (ctx.exe, ctx.com, ctx.probe, args.linux):
        if not os.path.isfile(path):
            print(f"missing: {path}")
            return 1
    ctx.linux_files, ctx.linux_sources, linux_error = run_linux_reference(args.linux)

    passed = failed = 0
    for name, test in TESTS:
        if args.only and not any(part in name for part in args.only):
            continue
        print(f"[ RUN      ] {name}", flush=True)
        started = time.monotonic()
        session = Session(name, artifacts, ctx.probe)
        problem = None
        try:
            if linux_error and test in (test_empty_folder_matches_linux, test_older_files_replaced_whole,
                                        test_drive_root, test_folder_names):
                raise Failure(linux_error)
            test(session, ctx)
        except Failure as e:
            problem = str(e)
        except Exception:  # a fault of the harness is a failure too, with its trace
            problem = traceback.format_exc()
        try:
            session.close(keep_logs=bool(problem))
        except Exception:
            problem = (problem + "\n" if problem else "") + traceback.format_exc()
        if session.troubles and not problem:
            problem = "; ".join(session.troubles)
        seconds = time.monotonic() - started
        if problem:
            failed += 1
            print(f"[  FAILED  ] {name} ({seconds:.0f} s)\n  " + problem.replace("\n", "\n  "),
                  flush=True)
        else:
            passed += 1
            print(f"[       OK ] {name} ({seconds:.0f} s)", flush=True)
    print(f"screenshots and logs in {artifacts}")
    print(f"wine: {passed} passed, {failed} failed")
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
