#!/usr/bin/env python3
"""The completions for bash, zsh and fish, typed into each shell as a
person would: a shell started in tmux with nothing but the completion
loaded, a command line typed, Tab pressed, and the screen read back.

For each case the names that must be offered all show on the screen, and
the ones that must not are absent. The codes and names after `explain` are
read from the program, as the completions read them.

Usage: completion_shells_test.py GENERA_SCENARIO PACKAGING_FOLDER [SHELL...]"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

FILES = ["A_linea.txt", "A_R1-.txt", "note.txt", "linea.txt", "A_R1.sim", "A_R1.dat",
         "piano.svg", "vista.html"]
FOLDERS = ["pack"]
EVERY_NAME = set(FILES) | set(FOLDERS)

# (name, what is typed before Tab, names that must show; every other file
# or folder name must not).
CASES = [
    ("line source first", "genera_scenario compile ", {"A_linea.txt", "pack"}),
    ("train source second", "genera_scenario check A_linea.txt ", {"A_R1-.txt", "pack"}),
    ("any file when no source fits", "genera_scenario compile li", {"linea.txt"}),
    ("svg after -o of plot", "genera_scenario plot A_linea.txt A_R1-.txt -o ", {"piano.svg", "pack"}),
    ("html after --out= of view", "genera_scenario view A_linea.txt A_R1-.txt --out=", {"vista.html", "pack"}),
    ("compact files to inspect", "genera_scenario inspect ", {"A_R1.sim", "A_R1.dat", "pack"}),
    ("a command", "genera_scenario sou", {"sources"}),
]

PROMPT = "READY$ "
LIMIT = 15  # seconds for a shell to show what it offers


def explain_cases(exe):
    """Cases of `explain`: the codes that start with the first code's first
    two digits, and the names that start with the first name's first word."""
    rows = subprocess.run([exe, "explain"], check=True, capture_output=True, text=True).stdout
    pairs = [m.groups() for m in re.finditer(r"^\s*(\d+)\s+(\S+)", rows, re.MULTILINE)]
    if not pairs:
        raise RuntimeError("`explain` lists no codes: has its layout changed?")
    codes = [c for c, _ in pairs]
    prefix = next(c for c in codes if len(c) >= 2)[:2]
    word = pairs[0][1].split("_")[0] + "_"
    return [
        ("codes after explain", f"genera_scenario explain {prefix}",
         {c for c in codes if c.startswith(prefix)}),
        ("names after explain", f"genera_scenario explain {word}",
         {n for _, n in pairs if n.startswith(word)}),
    ]


class Tmux:
    def __init__(self, folder, env):
        self.socket = os.path.join(folder, "tmux.sock")
        self.env = env

    def __call__(self, *args, check=True):
        return subprocess.run(["tmux", "-S", self.socket] + list(args), env=self.env, check=check,
                              capture_output=True, text=True, timeout=30)

    def screen(self):
        return self("capture-pane", "-p", "-t", "t").stdout

    def wait_for(self, condition):
        """Reads the screen until condition(screen) holds or the limit is up."""
        deadline = time.monotonic() + LIMIT
        while True:
            screen = self.screen()
            if condition(screen) or time.monotonic() > deadline:
                return screen
            time.sleep(0.1)

    def kill(self):
        self("kill-server", check=False)


def shell_setup(shell, packaging, work):
    """The command that starts the shell, and what is typed into it first."""
    if shell == "bash":
        return (["bash", "--norc", "--noprofile"],
                [f"source {packaging}/genera_scenario.bash",
                 "bind 'set show-all-if-ambiguous on'", "bind 'set completion-query-items 0'",
                 "bind 'set page-completions off'", "PS1='READY$ '"])
    if shell == "zsh":
        functions = os.path.join(work, "zsh-functions")
        os.makedirs(functions, exist_ok=True)
        shutil.copy(os.path.join(packaging, "genera_scenario.zsh"),
                    os.path.join(functions, "_genera_scenario"))
        return (["zsh", "-f"],
                [f"fpath=({functions} $fpath)", "autoload -U compinit", "compinit -u -D",
                 # the list at the first Tab, as bash and fish show it
                 "setopt no_list_ambiguous",
                 "PS1='READY$ '"])
    return (["fish", "--no-config"],
            [f"source {packaging}/genera_scenario.fish", "set -g fish_greeting",
             "set -g fish_autosuggestion_enabled 0",
             "function fish_prompt; echo -n 'READY$ '; end"])


def run_shell(shell, exe, packaging, cases):
    failures = []
    with tempfile.TemporaryDirectory(prefix=f"genera-completion-{shell}-") as work:
        folder = os.path.join(work, "files")
        os.makedirs(folder)
        for name in FILES:
            open(os.path.join(folder, name), "w").close()
        for name in FOLDERS:
            os.mkdir(os.path.join(folder, name))
        bin_folder = os.path.join(work, "bin")
        os.makedirs(bin_folder)
        os.symlink(os.path.abspath(exe), os.path.join(bin_folder, "genera_scenario"))
        home = os.path.join(work, "home")
        os.makedirs(home)
        env = {"PATH": bin_folder + ":/usr/bin:/bin", "HOME": home, "TERM": "xterm-256color",
               "LANG": "C.UTF-8", "XDG_CONFIG_HOME": os.path.join(home, ".config"),
               "XDG_DATA_HOME": os.path.join(home, ".local", "share")}
        tmux = Tmux(work, env)
        command, setup = shell_setup(shell, packaging, work)
        try:
            tmux("-f", "/dev/null", "new-session", "-d", "-s", "t", "-x", "200", "-y", "50",
                 "-c", folder, *command)
            for line in setup:
                tmux("send-keys", "-t", "t", "-l", line)
                tmux("send-keys", "-t", "t", "Enter")
            tmux("send-keys", "-t", "t", "clear", "Enter")
            screen = tmux.wait_for(lambda s: s.strip() == "READY$")
            if screen.strip() != "READY$":
                return [f"{shell}: the shell did not start as expected:\n{screen}"]
            for name, typed, wanted in cases:
                tmux("send-keys", "-t", "t", "-l", typed)
                tmux("send-keys", "-t", "t", "Tab")
                # Offers are the names listed under the prompt, and what the
                # shell put on the line after what was typed (a name
                # completed in place, or the start the offers share).
                partial = re.split(r"[ =]", typed)[-1]

                def offered(screen):
                    names = set()
                    for row in screen.splitlines():
                        if row.startswith(PROMPT):
                            row = row[len(PROMPT):]
                            if not row.startswith(typed):
                                continue
                            row = partial + row[len(typed):]
                        names |= set(re.findall(r"[\w.\-]+", row))
                    return names

                def shows_all(screen):
                    return wanted <= offered(screen)
                screen = tmux.wait_for(shows_all)
                seen = offered(screen)
                missing = wanted - seen
                extra = (EVERY_NAME - wanted) & seen
                if missing or extra:
                    failures.append(f"{shell}: {name}: typed {typed!r} and Tab: "
                                    f"missing {sorted(missing)}, not wanted {sorted(extra)}\n"
                                    + "\n".join("    | " + row for row in screen.rstrip().splitlines()))
                # Abandon the line, and a clean screen for the next case.
                tmux("send-keys", "-t", "t", "C-c")
                tmux.wait_for(lambda s: s.rstrip().endswith("READY$"))
                tmux("send-keys", "-t", "t", "clear", "Enter")
                tmux.wait_for(lambda s: s.strip() == "READY$")
        finally:
            tmux.kill()
    return failures


def main():
    exe, packaging = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    shells = sys.argv[3:] or ["bash", "zsh", "fish"]
    for tool in ["tmux"] + shells:
        if shutil.which(tool) is None:
            print(f"missing: {tool} (scripts/install-deps.sh test installs it)")
            return 1
    cases = CASES + explain_cases(exe)
    failures = []
    for shell in shells:
        failures += run_shell(shell, exe, packaging, cases)
    for failure in failures:
        print(failure)
    passed = len(cases) * len(shells) - len(failures)
    print(f"{passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
