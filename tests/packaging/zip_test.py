#!/usr/bin/env python3
"""The portable Windows zip, as a Windows user unpacks it: one folder named
as the zip, and in it

- genera_scenario.exe and genera_scenario.com, the MinGW builds byte for
  byte, each with the icon, the manifest (common controls, DPI awareness,
  no elevation) and a version resource naming the product, the version and
  the commit;
- README.txt written for Windows users (Explorer, cmd, the files, the
  manual), CHANGELOG.txt, LICENSE.txt and the PowerShell completion, all
  with CR LF line ends and no lone LF;
- the manual as HTML pages in manual\\, whose links between them all
  resolve, anchors included, and none of which points into the sources.

Usage: zip_test.py genera_scenario-VERSION-win64.zip GENERA_SCENARIO_EXE"""

import html.parser
import os
import re
import shutil
import subprocess
import sys
import urllib.parse
import zipfile

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TEXTS = ["README.txt", "CHANGELOG.txt", "LICENSE.txt", "genera_scenario_completion.ps1"]
PAGES = ["index", "commands", "tutorial", "line-source", "train-source", "codes", "compiled-files", "editors"]


def crlf(*paths):
    """The files one after the other, a blank line between, with CR LF ends."""
    parts = []
    for path in paths:
        with open(os.path.join(SOURCE, path), "rb") as f:
            parts.append(f.read())
    return b"\n".join(parts).replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


class Page(html.parser.HTMLParser):
    """The links and the ids of one HTML page."""

    def __init__(self):
        super().__init__()
        self.links, self.ids = [], set()

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        for key in ("href", "src"):
            if tag in ("a", "img", "link", "script") and attrs.get(key):
                self.links.append(attrs[key])


def manual_problems(held, folder):
    problems = []
    pages = {}
    for name in PAGES:
        path = f"{folder}/manual/{name}.html"
        if path not in held:
            problems.append(f"no manual/{name}.html")
            continue
        page = Page()
        page.feed(held[path].decode("utf-8"))
        pages[f"manual/{name}.html"] = page
    for where, page in pages.items():
        for link in page.links:
            parts = urllib.parse.urlsplit(link)
            if parts.scheme in ("http", "https", "mailto"):
                continue
            if parts.scheme or parts.netloc:
                problems.append(f"{where}: link {link!r} leads outside the zip")
                continue
            target = where if not parts.path else os.path.normpath(
                os.path.join(os.path.dirname(where), urllib.parse.unquote(parts.path)))
            if f"{folder}/{target}" not in held:
                problems.append(f"{where}: link {link!r} leads to {target}, not in the zip")
                continue
            if parts.fragment:
                ids = pages[target].ids if target in pages else set()
                if parts.fragment not in ids:
                    problems.append(f"{where}: link {link!r}: {target} has no #{parts.fragment}")
    # The index leads to every other page.
    index = pages.get("manual/index.html")
    if index:
        for name in PAGES[1:]:
            if f"{name}.html" not in index.links:
                problems.append(f"manual/index.html does not link {name}.html")
    return problems


def resource_problems(program, name):
    """The version resource, icon and manifest, read back with windres."""
    windres = shutil.which("x86_64-w64-mingw32-windres")
    if windres is None:
        return [f"{name}: x86_64-w64-mingw32-windres is missing to read its resources"]
    done = subprocess.run([windres, "-i", program, "-O", "rc"], capture_output=True)
    if done.returncode != 0:
        return [f"{name}: windres cannot read its resources: {done.stderr.decode(errors='replace')}"]
    rc = done.stdout.decode("latin-1")
    problems = []
    version = subprocess.run(["git", "-C", SOURCE, "rev-parse", "--short", "HEAD"],
                             capture_output=True, text=True).stdout.strip()
    wanted = {
        "ProductName": "genera_scenario",
        "OriginalFilename": name,
        "FileVersion": project_version(),
    }
    for key, value in wanted.items():
        if not re.search(rf'VALUE "{key}", "{re.escape(value)}"', rc):
            problems.append(f"{name}: no {key} {value!r} in its version resource")
    product = re.search(r'VALUE "ProductVersion", "([^"]*)"', rc)
    if not product or not product.group(1).startswith(project_version()):
        problems.append(f"{name}: ProductVersion {product and product.group(1)!r}")
    if version and not re.search(rf'VALUE "Commit", "{version}"', rc):
        problems.append(f"{name}: the version resource does not name the commit {version}")
    if "RT_GROUP_ICON" not in rc:
        problems.append(f"{name}: no icon")
    if "/* RT_MANIFEST */" not in rc:
        problems.append(f"{name}: no manifest")
    with open(program, "rb") as f:
        data = f.read()
    for needed in (b"Microsoft.Windows.Common-Controls", b"<dpiAware", b"asInvoker"):
        if needed not in data:
            problems.append(f"{name}: the manifest lacks {needed.decode()}")
    return problems


def project_version():
    with open(os.path.join(SOURCE, "CMakeLists.txt")) as f:
        return re.search(r"project\(genera_scenario VERSION ([0-9.]+)", f.read()).group(1)


def main():
    archive, exe = sys.argv[1:3]
    com = os.path.splitext(exe)[0] + ".com"
    folder = os.path.basename(archive)[: -len(".zip")]
    with zipfile.ZipFile(archive) as z:
        held = {name: z.read(name) for name in z.namelist() if not name.endswith("/")}
    failures = []
    expected = {f"{folder}/{name}" for name in
                ["genera_scenario.exe", "genera_scenario.com"] + TEXTS} | {
                f"{folder}/manual/{page}.html" for page in PAGES}
    if set(held) != expected:
        failures.append(f"holds {sorted(set(held) - expected)} besides, and lacks "
                        f"{sorted(expected - set(held))}")
    for name, built in (("genera_scenario.exe", exe), ("genera_scenario.com", com)):
        with open(built, "rb") as f:
            if held.get(f"{folder}/{name}") != f.read():
                failures.append(f"{name} is not the program built")
        failures += resource_problems(built, name)

    # The texts: CR LF everywhere, the licences, the changelog as it is.
    for name in TEXTS:
        data = held.get(f"{folder}/{name}", b"")
        if b"\n" in data.replace(b"\r\n", b""):
            failures.append(f"{name} has a line end without CR")
    if held.get(f"{folder}/LICENSE.txt") != crlf("LICENSE", "packaging/third_party.txt"):
        failures.append("LICENSE.txt is not LICENSE and the libraries' licences")
    if held.get(f"{folder}/CHANGELOG.txt") != crlf("packaging/changelog"):
        failures.append("CHANGELOG.txt is not packaging/changelog")

    # README.txt speaks to a Windows user, not to the developers.
    readme = held.get(f"{folder}/README.txt", b"").decode("utf-8")
    for needed in ("From Explorer", "From cmd", "genera_scenario.com", "%errorlevel%",
                   "manual\\index.html", "LIVRA_MONTALBA_R47316.sim", "Documents",
                   f"Version {project_version()}."):
        if needed not in readme:
            failures.append(f"README.txt does not say {needed!r}")
    for developers in ("bash scripts", "cmake", "fuzz", "](", "/usr/"):
        if developers in readme:
            failures.append(f"README.txt speaks to developers: {developers!r}")
    if any(len(row) > 78 for row in readme.splitlines() if not row.startswith("  genera_scenario ")):
        failures.append("README.txt has lines wider than 78 columns")

    failures += manual_problems(held, folder)
    if failures:
        print("FAILED: " + archive + ":\n  " + "\n  ".join(failures))
        return 1
    print(f"passed: {os.path.basename(archive)} holds both programs with their resources, "
          "the texts for Windows users and a manual whose links resolve")
    return 0


if __name__ == "__main__":
    sys.exit(main())
