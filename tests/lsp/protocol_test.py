"""The language server through its pipe, as an editor drives it:
initialize, open, edit with a mistake, the diagnostics it publishes, hover,
completion, signature help, symbols, definition, code actions, inlay hints,
shutdown and exit; and bad input of every kind, after which it still answers.

Usage: protocol_test.py GENERA_SCENARIO"""

import os
import random
import shutil
import subprocess
import sys
import tempfile
import unittest
import urllib.parse

from lsp_client import Client

EXE = None
TRAIN = "LIVRA_MONTALBA_R47316-.txt"
LINE = "LIVRA_MONTALBA_linea.txt"


def uri_of(path):
    return "file://" + urllib.parse.quote(path)


class Session(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="genera-lsp-")
        subprocess.run([EXE, "sources", "-o", self.dir], check=True)
        self.client = Client(EXE, cwd=self.dir)
        init = self.client.request("initialize", {"processId": None, "rootUri": uri_of(self.dir),
                                                  "capabilities": {}})
        self.capabilities = init["result"]["capabilities"]
        self.client.notify("initialized", {})

    def tearDown(self):
        if self.client.proc.poll() is None:
            self.client.proc.kill()
            self.client.proc.wait()
        for stream in (self.client.proc.stdin, self.client.proc.stdout, self.client.proc.stderr):
            if not stream.closed:
                stream.close()
        shutil.rmtree(self.dir)

    def open(self, name, text=None):
        path = os.path.join(self.dir, name)
        if text is None:
            with open(path, "rb") as f:
                text = f.read().decode("utf-8")
        uri = uri_of(path)
        self.client.notify("textDocument/didOpen", {"textDocument": {
            "uri": uri, "languageId": "plaintext", "version": 1, "text": text}})
        return uri, text

    def change(self, uri, version, start, end, text):
        self.client.notify("textDocument/didChange", {
            "textDocument": {"uri": uri, "version": version},
            "contentChanges": [{"range": {"start": {"line": start[0], "character": start[1]},
                                          "end": {"line": end[0], "character": end[1]}},
                                "text": text}]})

    def at(self, method, uri, line, character):
        return self.client.request(method, {"textDocument": {"uri": uri},
                                            "position": {"line": line, "character": character}})

    # ---- the session an author has ----

    def test_capabilities_name_every_feature(self):
        for key in ("hoverProvider", "completionProvider", "signatureHelpProvider",
                    "documentSymbolProvider", "definitionProvider", "codeActionProvider",
                    "inlayHintProvider"):
            self.assertIn(key, self.capabilities)
        self.assertEqual(self.capabilities["textDocumentSync"]["change"], 2)

    def test_the_built_in_sources_give_no_diagnostic(self):
        uri, _ = self.open(TRAIN)
        self.assertEqual(self.client.wait_diagnostics(uri)["diagnostics"], [])

    def test_a_misspelt_key_is_reported_and_fixed_by_its_code_action(self):
        uri, text = self.open(TRAIN)
        self.client.wait_diagnostics(uri)
        line = text.splitlines().index(
            next(l for l in text.splitlines() if l.endswith("San Vito")))
        self.change(uri, 2, (line, 0), (line, 8), "stazoine")
        published = self.client.wait_diagnostics(uri)
        self.assertEqual(published["version"], 2)
        [d] = [d for d in published["diagnostics"] if "stazoine" in d["message"]]
        self.assertEqual(d["severity"], 2)
        self.assertEqual(d["range"], {"start": {"line": line, "character": 0},
                                      "end": {"line": line, "character": 8}})
        self.assertIn("did you mean `stazione`?", d["message"])
        actions = self.client.request("textDocument/codeAction", {
            "textDocument": {"uri": uri}, "range": d["range"],
            "context": {"diagnostics": [d]}})["result"]
        [fix] = [a for a in actions if a["title"] == "Replace with `stazione`"]
        self.assertEqual(fix["edit"]["changes"][uri],
                         [{"range": d["range"], "newText": "stazione"}])

    def test_a_collision_points_at_the_record_it_meets(self):
        uri, text = self.open(TRAIN)
        self.client.wait_diagnostics(uri)
        lines = text.splitlines()
        segnali = lines.index("[segnali]")
        station = next(i for i, l in enumerate(lines) if l.endswith("San Vito"))
        self.change(uri, 2, (segnali + 1, 0), (segnali + 1, 0),
                    "segnale,    4650,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n")
        diagnostics = self.client.wait_diagnostics(uri)["diagnostics"]
        [d] = [d for d in diagnostics if d.get("code") == 16]
        self.assertEqual(d["severity"], 1)
        self.assertEqual(d["range"]["start"]["line"], segnali + 1)
        related = d["relatedInformation"][0]
        self.assertEqual(related["location"]["uri"], uri)
        self.assertEqual(related["location"]["range"]["start"]["line"], station)
        target = self.at("textDocument/definition", uri, segnali + 1, 2)["result"]
        self.assertEqual(target["uri"], uri)
        self.assertEqual(target["range"]["start"]["line"], station)

    def test_an_edit_of_the_line_source_reaches_the_open_train_source(self):
        train, _ = self.open(TRAIN)
        self.client.wait_diagnostics(train)
        line, text = self.open(LINE)
        self.assertEqual(self.client.wait_diagnostics(line)["diagnostics"], [])
        self.assertEqual(self.client.wait_diagnostics(train)["diagnostics"], [])
        row = next(i for i, l in enumerate(text.splitlines()) if l.startswith("lunghezza percorso"))
        old = text.splitlines()[row]
        self.change(line, 2, (row, 0), (row, len(old)), "lunghezza percorso, 20000")
        self.client.wait_diagnostics(line)
        diagnostics = self.client.wait_diagnostics(train)["diagnostics"]
        self.assertTrue(any(d.get("code") == 15 for d in diagnostics), diagnostics)

    def test_hover_names_the_field_and_what_the_record_put_on_the_grid(self):
        uri, text = self.open(TRAIN)
        self.client.wait_diagnostics(uri)
        row = next(i for i, l in enumerate(text.splitlines()) if l.startswith("segnale,    8200"))
        hover = self.at("textDocument/hover", uri, row, 13)["result"]
        value = hover["contents"]["value"]
        self.assertIn("**posizione** (m)", value)
        self.assertIn("cell 165 (km 8.250): signal", value)
        self.assertEqual(hover["range"], {"start": {"line": row, "character": 12},
                                          "end": {"line": row, "character": 16}})

    def test_completion_offers_the_keys_with_a_snippet_of_their_fields(self):
        uri, text = self.open(TRAIN)
        self.client.wait_diagnostics(uri)
        end = len(text.splitlines())
        result = self.at("textDocument/completion", uri, end, 0)["result"]
        items = {i["label"]: i for i in result["items"]}
        self.assertIn("stazione", items)
        self.assertNotIn("pendenza", items)  # a line source's record
        segnale = items["segnale"]
        self.assertEqual(segnale["insertTextFormat"], 2)
        self.assertTrue(segnale["textEdit"]["newText"].startswith("segnale, ${1:posizione}, ${2:sx}"),
                        segnale["textEdit"]["newText"])

    def test_signature_help_follows_the_field_being_typed(self):
        uri, text = self.open(TRAIN)
        self.client.wait_diagnostics(uri)
        row = next(i for i, l in enumerate(text.splitlines()) if l.startswith("rallentamento"))
        line = text.splitlines()[row]
        column = line.index("200")  # the third value: l
        help = self.at("textDocument/signatureHelp", uri, row, column)["result"]
        self.assertEqual(help["activeParameter"], 2)
        self.assertTrue(help["signatures"][0]["label"].startswith("rallentamento, posizione, velocita, lunghezza"))

    def test_symbols_outline_stations_signals_and_slowdowns_with_their_km(self):
        uri, _ = self.open(TRAIN)
        self.client.wait_diagnostics(uri)
        symbols = self.client.request("textDocument/documentSymbol",
                                      {"textDocument": {"uri": uri}})["result"]
        named = {(s["name"], s["detail"]) for s in symbols}
        self.assertIn(("station San Vito", "km 4.500"), named)
        self.assertIn(("signal", "km 8.200"), named)
        self.assertIn(("slowdown 60 km/h", "km 42.850"), named)
        self.assertEqual(sum(1 for s in symbols if s["name"].startswith("station ")), 14)

    def test_inlay_hints_give_km_and_cell(self):
        uri, text = self.open(TRAIN)
        self.client.wait_diagnostics(uri)
        rows = text.splitlines()
        row = next(i for i, l in enumerate(rows) if l.startswith("segnale,    8200"))
        hints = self.client.request("textDocument/inlayHint", {
            "textDocument": {"uri": uri},
            "range": {"start": {"line": row, "character": 0}, "end": {"line": row, "character": 0}}})
        self.assertEqual(hints["result"], [{"position": {"line": row, "character": 16},
                                            "label": "km 8.200 · cell 165", "paddingLeft": True}])

    def test_shutdown_then_exit_ends_with_status_0(self):
        self.assertIsNone(self.client.request("shutdown")["result"])
        self.client.notify("exit")
        self.assertEqual(self.client.proc.wait(timeout=30), 0)

    # ---- bad input: an error or a diagnostic, and the server goes on ----

    def assert_alive(self):
        self.assertIsNone(self.client.request("textDocument/hover", {
            "textDocument": {"uri": "file:///nowhere"},
            "position": {"line": 0, "character": 0}})["result"])

    def test_a_body_that_is_not_json_is_a_parse_error(self):
        self.client.send_raw(b"Content-Length: 5\r\n\r\n{bad}")
        self.assertEqual(self.client.wait_error_without_id()["error"]["code"], -32700)
        self.assert_alive()

    def test_a_header_block_without_length_is_an_invalid_request(self):
        self.client.send_raw(b"\x00\xff garbage \x01\r\n\r\n")
        self.assertEqual(self.client.wait_error_without_id()["error"]["code"], -32600)
        self.assert_alive()

    def test_an_unknown_method_is_method_not_found(self):
        self.assertEqual(self.client.request("genera/nothing", {})["error"]["code"], -32601)
        self.client.notify("genera/nothing", {})  # an unknown notification asks nothing
        self.assert_alive()

    def test_parameters_that_do_not_fit_are_invalid_params(self):
        self.assertEqual(self.client.request("textDocument/hover", {"position": 3})["error"]["code"],
                         -32602)
        self.assertEqual(self.client.request("textDocument/hover", [1, 2])["error"]["code"], -32602)
        self.assert_alive()

    def test_a_document_of_random_bytes_gets_diagnostics(self):
        rng = random.Random(22)
        text = bytes(rng.randrange(256) for _ in range(200000)).decode("latin-1")
        uri, _ = self.open("random-.txt", text)
        self.assertIsInstance(self.client.wait_diagnostics(uri)["diagnostics"], list)
        self.assert_alive()

    def test_a_50_mb_document_gets_diagnostics(self):
        rng = random.Random(50)
        lines = []
        size = 0
        while size < 50 * 1024 * 1024:
            line = "segnale, %d, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0\r\n" % (rng.randrange(1000000))
            lines.append(line)
            size += len(line)
        uri, _ = self.open("big-.txt", "[generale]\r\n" + "".join(lines))
        published = self.client.wait_diagnostics(uri)["diagnostics"]
        self.assertTrue(0 < len(published) <= 500)
        self.assert_alive()


if __name__ == "__main__":
    EXE = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
