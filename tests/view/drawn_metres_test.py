#!/usr/bin/env python3
"""Every object the page and `plot` draw stands at the metre `inspect --json`
gives its cell, with the kind inspect names, for the built-in sources and for
sources with code cuts (abbattimento) and the post-pass's code cells: the
pictures and the decoded files come from one compile and cannot disagree.
Usage: drawn_metres_test.py GENERA_SCENARIO"""

import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

EXE = None
LINE = "LIVRA_MONTALBA_linea.txt"
TRAIN = "LIVRA_MONTALBA_R47316-.txt"

# Code cuts with and without a value, one on a position that rounds half to
# even, put before the first signal of the built-in train source.
CUTS = b"abbattimento,   5000,  180\r\nabbattimento,   6025,    0\r\nabbattimento,  15000,   -5\r\n"


def run(*args, cwd):
    return subprocess.run([EXE, *args], cwd=cwd, capture_output=True, check=True)


def page_data(path):
    with open(path, encoding="utf-8") as f:
        page = f.read()
    found = re.search(r'<script id="genera-data" type="application/json">(.*?)</script>', page, re.S)
    return json.loads(found.group(1))


class DrawnWhereInspectSays(unittest.TestCase):
    def compile_and_draw(self, edit=None):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        folder = tmp.name
        run("sources", "--out", folder, cwd=folder)
        if edit:
            path = os.path.join(folder, TRAIN)
            with open(path, "rb") as f:
                text = f.read()
            with open(path, "wb") as f:
                f.write(edit(text))
        run("compile", LINE, TRAIN, "-q", cwd=folder)
        inspected = json.loads(run("inspect", "--json", "LIVRA_MONTALBA_R47316.dat", cwd=folder).stdout)
        cells = {c["cella"]: c for c in inspected["file_ispezionati"][0]["celle"]}
        run("view", LINE, TRAIN, "-o", "page.html", cwd=folder)
        run("plot", LINE, TRAIN, "-o", "plot.svg", "-q", cwd=folder)
        with open(os.path.join(folder, "plot.svg"), encoding="utf-8") as f:
            svg = f.read()
        return cells, page_data(os.path.join(folder, "page.html")), svg

    def check(self, cells, data, svg):
        kinds = data["tipi_cella"]
        # The page: every cell that is not plain track, each at its cell's metre.
        drawn = {o[0]: o for o in data["oggetti"]}
        self.assertEqual(sorted(drawn), sorted(cells))
        for cell, o in drawn.items():
            with self.subTest(view="page", cell=cell):
                self.assertEqual(o[8], cells[cell]["metri"])
                self.assertEqual(kinds[str(o[1])][0], cells[cell]["nome_tipo"])
        for s in data["stazioni"]:
            if s[8] >= 0:
                self.assertEqual(cells[s[8]]["nome_tipo"], "fermata", s[1])
                self.assertEqual(cells[s[8]]["valore1"], s[0], s[1])
        for r in data["rallentamenti"]:
            for cell in (r[4], r[5], r[6], *r[7]):
                if cell >= 0:
                    self.assertEqual(drawn[cell][7], r[0])
            self.assertEqual(r[1], cells[r[4]]["metri"])
        # The picture: the same metre and kind on every object it draws.
        by_key = {v[2]: v[0] for v in kinds.values()}
        pictured = re.findall(r'<g data-tipo="([a-z_]+)" data-cella="(\d+)" data-m="(\d+)">', svg)
        self.assertGreater(len(pictured), 100)
        for key, cell, metre in pictured:
            with self.subTest(view="plot", cell=cell):
                self.assertIn(int(cell), cells)
                self.assertEqual(int(metre), cells[int(cell)]["metri"])
                self.assertEqual(by_key[key], cells[int(cell)]["nome_tipo"])
        self.assertEqual({int(c) for _, c, _ in pictured},
                         {c for c, v in cells.items() if v["nome_tipo"] != "binario"})
        return drawn

    def test_built_in_sources(self):
        cells, data, svg = self.compile_and_draw()
        drawn = self.check(cells, data, svg)
        # The post-pass's code cells and Valcerreto's stop where inspect has them.
        self.assertEqual([o[8] for o in drawn.values() if o[1] == 12], [42000, 42350, 42650, 43600])
        self.assertEqual(drawn[798][8], 39900)

    def test_code_cuts_and_post_pass_cells(self):
        first_signal = b"segnale,"
        cells, data, svg = self.compile_and_draw(
            lambda t: t.replace(first_signal, CUTS + first_signal, 1))
        drawn = self.check(cells, data, svg)
        self.assertEqual([(o[0], o[1], o[8]) for o in drawn.values() if o[0] in (100, 120, 300)],
                         [(100, 12, 5000), (120, 13, 6000), (300, 13, 15000)])


if __name__ == "__main__":
    EXE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
