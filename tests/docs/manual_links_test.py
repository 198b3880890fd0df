#!/usr/bin/env python3
"""The authors' manual can be found and its links lead somewhere:

- the README points at the tutorial and the references right after its
  set-up commands, the program's --help names the man pages and the
  tutorial, and the program's man page names the pages of the formats;
- every relative link of the README and of the manual's pages names a file
  that exists and, after a "#", a heading of that file (as GitHub makes
  anchors of headings).

Usage: manual_links_test.py GENERA_SCENARIO SOURCE_DIR
"""

import os
import re
import subprocess
import sys

PAGES = ["README.md", "docs/tutorial.md", "docs/line-source.md", "docs/train-source.md",
         "docs/compiled-files.md", "docs/editors.md"]
MANUAL = ["docs/tutorial.md", "docs/line-source.md", "docs/train-source.md", "docs/codes.md",
          "docs/compiled-files.md"]
LINK = re.compile(r"\]\(([^)\s]+)\)")


def read(root, path):
    with open(os.path.join(root, path), encoding="utf-8") as f:
        return f.read()


def prose(text):
    """The text without its fenced blocks, which hold no links."""
    return re.sub(r"^```.*?^```", "", text, flags=re.M | re.S)


def anchors(text):
    """The anchors GitHub gives the headings of a page."""
    out = set()
    for line in prose(text).split("\n"):
        m = re.match(r"#+ (.*)", line)
        if m:
            slug = re.sub(r"[^\w\- ]", "", m.group(1).strip().lower()).replace(" ", "-")
            out.add(slug)
    return out


def main():
    exe, root = sys.argv[1], sys.argv[2]
    failures = []

    readme = read(root, "README.md")
    after_setup = readme.split("```", 2)[2].split("\n## ", 1)[0]
    for page in MANUAL:
        if f"]({page})" not in after_setup:
            failures.append(f"README.md: the part after the set-up commands does not link {page}")

    shown = subprocess.run([exe, "--help"], check=True, capture_output=True, text=True).stdout
    for words in ("man 5 genera_scenario-linea", "man 5 genera_scenario-treno", "docs/tutorial.md"):
        if words not in shown:
            failures.append(f"--help does not name {words}")

    man = read(root, "docs/man/genera_scenario.1.md").split("# SEE ALSO", 1)[-1]
    for words in ("**genera_scenario-linea**(5)", "**genera_scenario-treno**(5)", "tutorial.md"):
        if words not in man:
            failures.append(f"docs/man/genera_scenario.1.md: SEE ALSO does not name {words}")

    for page in PAGES:
        for target in LINK.findall(prose(read(root, page))):
            if re.match(r"[a-z]+:", target):
                continue
            path, _, anchor = target.partition("#")
            linked = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
            if not os.path.exists(os.path.join(root, linked)):
                failures.append(f"{page}: the link {target} names no file")
            elif anchor and linked.endswith(".md") and anchor not in anchors(read(root, linked)):
                failures.append(f"{page}: the link {target} names no heading of {linked}")

    if failures:
        print("FAILED:\n" + "\n".join(failures))
        return 1
    print("passed: the manual is linked from the README, --help and the man page; its links hold")
    return 0


if __name__ == "__main__":
    sys.exit(main())
