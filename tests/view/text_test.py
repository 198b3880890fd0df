#!/usr/bin/env python3
"""One text policy wherever the program shows a name: stored text is code
page 1252, text an author wrote (source lines, file names, --line-name) is
UTF-8 when it is UTF-8 and code page 1252 otherwise. An accented letter, a
typographic apostrophe and the euro sign go through a station name, a board
text, the sources' file names and --line-name, written both as UTF-8 and as
code page 1252, into the page, `plot` and `inspect` (table and JSON).
Usage: text_test.py GENERA_SCENARIO"""

import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

EXE = None
NAME = "Citt\u00e0 d\u2019Euro \u20ac"          # à ’ €
BOARD = "(Citt\u00e0)(d\u2019Euro \u20ac)"
BOARD_WORDS = "Citt\u00e0 / d\u2019Euro \u20ac"
FILE_STEM = "Citt\u00e0\u2019\u20ac"


def run(*args, cwd, check=True):
    return subprocess.run([EXE, *args], cwd=cwd, capture_output=True, check=check)


class OneTextPolicy(unittest.TestCase):
    def make(self, encoding):
        """The built-in sources with the name and the board text in
        `encoding`, saved under file names that carry the same characters
        (UTF-8 names: the file system's)."""
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        folder = tmp.name
        run("sources", "--out", folder, cwd=folder)
        line, train = f"{FILE_STEM}_linea.txt", f"{FILE_STEM}_R47316-.txt"
        with open(os.path.join(folder, "LIVRA_MONTALBA_linea.txt"), "rb") as f:
            text = f.read()
        text = text.replace(b"(Galleria)(Montalba)", BOARD.encode(encoding))
        with open(os.path.join(folder, line), "wb") as f:
            f.write(text)
        with open(os.path.join(folder, "LIVRA_MONTALBA_R47316-.txt"), "rb") as f:
            text = f.read()
        with open(os.path.join(folder, train), "wb") as f:
            f.write(text.replace(b"San Vito", NAME.encode(encoding)))
        return folder, line, train

    def check_everywhere(self, encoding):
        folder, line, train = self.make(encoding)
        name_args = ["--line-name", NAME, "--train-code", "R47316"]
        # The page: title, station, board, file names, the quoted lines.
        run("view", line, train, *name_args, "-o", "page.html", cwd=folder)
        with open(os.path.join(folder, "page.html"), encoding="utf-8") as f:
            page = f.read()
        self.assertIn(f"<title>{NAME} \u2014 train R47316</title>", page)
        data = json.loads(re.search(r'id="genera-data" type="application/json">(.*?)</script>', page, re.S).group(1))
        self.assertEqual(data["linea"], NAME)
        self.assertIn(NAME, [s[1] for s in data["stazioni"]])
        self.assertIn(BOARD, data["cartelli"].values())
        self.assertEqual([s["nome"] for s in data["sorgenti"]], [line, train])
        quoted = "\n".join(data["sorgenti"][1]["righe"].values())
        self.assertIn(NAME, quoted)
        self.assertIn(BOARD, "\n".join(data["sorgenti"][0]["righe"].values()))
        # The picture.
        run("plot", line, train, *name_args, "-o", "plot.svg", "-q", cwd=folder)
        with open(os.path.join(folder, "plot.svg"), encoding="utf-8") as f:
            svg = f.read()
        self.assertIn(f">{NAME} \u2014 train R47316<", svg)
        self.assertIn(f">{NAME}<", svg)
        self.assertIn(f">{BOARD_WORDS}<", svg)
        # The files read back: names and texts as stored, in code page 1252.
        run("compile", line, train, *name_args, "-q", cwd=folder)
        stored = [n for n in os.listdir(folder) if n.endswith(".sim")]
        self.assertEqual(len(stored), 1, os.listdir(folder))
        table = run("inspect", stored[0], cwd=folder).stdout.decode("utf-8")
        self.assertIn(f'"{NAME}"', table)
        self.assertIn(f'"{BOARD}"', table)
        self.assertIn(f"{stored[0]}: scenario file", table)
        decoded = json.loads(run("inspect", "--json", stored[0], cwd=folder).stdout)["file_ispezionati"][0]
        self.assertEqual(decoded["file"], stored[0])
        names = [v["nome"] for v in decoded["voci"]]
        self.assertIn(NAME, names)
        self.assertIn(BOARD, names)

    def test_sources_written_in_utf8(self):
        self.check_everywhere("utf-8")

    def test_sources_written_in_code_page_1252(self):
        self.check_everywhere("cp1252")


if __name__ == "__main__":
    EXE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
