#!/usr/bin/env python3
"""Every example of the source references is compiled and its stated
outcome compared (doc_blocks.py names the kinds of block):

- a record example (linea-testata, linea, treno) is put into the minimal
  pair of sources the references define (linea-base, treno-base); `check`
  must say nothing, and the json block after it must list exactly what the
  example changes in `genera_scenario inspect --json`, against the pair
  alone: every changed field of every cell and entry, and nothing that did
  not change;
- a trap (linea-file, treno-file) is a whole source, compiled with the
  other base; `check` must print exactly the lines of its check block, and
  a json block after it, when there is one, is compared as above;
- the lines of a linea-builtin or treno-builtin block are lines of the
  source `genera_scenario sources` writes, in the same order.

In a json block "cella" and "voce" may be a pair [first, last]: a run of
cells or entries that all hold the values given. "metri" and "nome_tipo"
may be given for clarity; they are checked but need not have changed.

Usage: examples_test.py GENERA_SCENARIO PAGE...
"""

import json
import os
import re
import struct
import subprocess
import sys
import tempfile

from doc_blocks import blocks

LINE_FILE = "PROVA_linea.txt"
TRAIN_FILE = "PROVA_T1-.txt"
EXAMPLES = ("linea-testata", "linea", "treno")
TRAPS = ("linea-file", "treno-file")
CONTEXT = ("metri", "nome_tipo")  # shown for clarity, derived from others
CELL = struct.Struct("<BhhhhBBBBBB")
CELL_FIELDS = ("tipo", "valore1", "valore2", "valore3", "valore4", "tempo_segnale",
               "avviso", "galleria", "velocita", "pendenza", "aderenza")

failures = []


def fail(block, text):
    failures.append(f"{block.where()}: {text}")


class Compiled:
    """One compile of a pair of sources: what check printed, and the
    scenario as `inspect --json` shows it (plain track cells, which inspect
    leaves out, decoded from the route file in the same shape)."""

    def __init__(self, exe, line_text, train_text):
        with tempfile.TemporaryDirectory() as d:
            for name, text in ((LINE_FILE, line_text), (TRAIN_FILE, train_text)):
                with open(os.path.join(d, name), "w", encoding="utf-8", newline="") as f:
                    f.write(text)
            check = subprocess.run([exe, "check", LINE_FILE, TRAIN_FILE, "-q"], cwd=d,
                                   capture_output=True, text=True)
            self.status = check.returncode
            self.stderr = check.stderr
            self.celle = self.voci = self.tracciato = None
            # Warnings change no byte: a source with warnings only compiles.
            if self.status != 0:
                return
            subprocess.run([exe, "compile", LINE_FILE, TRAIN_FILE, "--out", "o", "-q"], cwd=d,
                           check=True, capture_output=True)
            files = ["o/PROVA_T1.sim", "o/PROVA_T1.dat", "o/PROVA_linea.dat"]
            shown = subprocess.run([exe, "inspect", "--json"] + files, cwd=d, check=True,
                                   capture_output=True, text=True)
            sim, dat, plan = json.loads(shown.stdout)["file_ispezionati"]
            with open(os.path.join(d, files[1]), "rb") as f:
                route = f.read()
        self.voci = {v["voce"]: {k: x for k, x in v.items() if k != "voce"} for v in sim["voci"]}
        self.celle = {}
        for c in range(len(route) // CELL.size):
            values = CELL.unpack_from(route, c * CELL.size)
            cell = {"metri": 50 * c, "nome_tipo": "binario"}
            cell.update(zip(CELL_FIELDS, values))
            self.celle[c] = cell
        for shown_cell in dat["celle"]:
            c = shown_cell["cella"]
            own = {k: x for k, x in shown_cell.items() if k != "cella"}
            if {**own, "nome_tipo": "binario"} != self.celle[c]:
                raise RuntimeError(f"cell {c}: inspect shows {own}, the route file holds "
                                   f"{self.celle[c]}")
            self.celle[c] = own
        self.tracciato = {k: x for k, x in plan.items() if k not in ("file", "tipo", "byte")}


def expand(block, items, key):
    """{index: {field: value}} from the objects of a json block."""
    out = {}
    for item in items:
        if key not in item:
            fail(block, f"an object without \"{key}\": {item}")
            continue
        where = item[key]
        first, last = (where, where) if isinstance(where, int) else where
        for i in range(first, last + 1):
            fields = out.setdefault(i, {})
            for field, value in item.items():
                if field != key:
                    fields[field] = value
    return out


def same(a, b):
    """Equal, numbers compared to the millimetre as the pages print them."""
    if isinstance(a, dict) and isinstance(b, dict):
        return a.keys() == b.keys() and all(same(a[k], b[k]) for k in a)
    if isinstance(a, float) or isinstance(b, float):
        return (isinstance(a, (int, float)) and isinstance(b, (int, float))
                and round(a, 3) == round(b, 3))
    return a == b


def changes(base, now):
    """{index: {field: value}}: the fields of `now` that differ from `base`."""
    out = {}
    for i in sorted(now):
        for field, value in now[i].items():
            before = base[i][field] if i in base else (0 if field in CELL_FIELDS else None)
            if field not in CONTEXT and not same(before, value):
                out.setdefault(i, {})[field] = value
    return out


def runs(changed, key):
    """The changes as a page writes them: neighbours with the same changes
    joined into one object with a pair [first, last]."""
    out = []
    for i in sorted(changed):
        if out and out[-1][1] == i - 1 and out[-1][2] == changed[i]:
            out[-1][1] = i
        else:
            out.append([i, i, changed[i]])
    return [{key: a if a == b else [a, b], **fields} for a, b, fields in out]


def compare_table(block, name, key, base, now, wanted):
    """The fields of `wanted` hold in `now` and changed from `base`; every
    field that changed is in `wanted`. Gives the changes as a page would
    write them when they differ from `wanted`."""
    problems = []
    for i in sorted(wanted):
        for field, value in wanted[i].items():
            if i not in now or field not in now[i]:
                problems.append(f"{name} {i} has no field \"{field}\"")
            elif not same(now[i][field], value):
                problems.append(f"{name} {i} {field} is {now[i][field]!r}, the page says {value!r}")
            elif field not in CONTEXT and same(base[i][field] if i in base else 0, value):
                problems.append(f"{name} {i} {field} is {value!r} without the example too")
    changed = changes(base, now)
    for i, fields in changed.items():
        for field, value in fields.items():
            if field not in wanted.get(i, {}):
                problems.append(f"{name} {i} {field} changes to {value!r}, the page does not say so")
    if problems:
        shown = problems[:5] + ([f"... and {len(problems) - 5} more"] if len(problems) > 5 else [])
        if key == "tracciato":
            written = [json.dumps({key: rounded(changed.get(0, {}))})]
        else:
            written = [json.dumps(o) for o in runs(changed, key)]
        fail(block, "\n  ".join(shown) + "\n  what the example changes, as the page would write it:"
             "\n    " + "\n    ".join(written))


def rounded(value):
    """Numbers to the millimetre, as the pages print them."""
    if isinstance(value, dict):
        return {k: rounded(v) for k, v in value.items()}
    return round(value, 3) if isinstance(value, float) else value


def compare(block, base, now, fragment):
    try:
        wanted = json.loads(fragment.text)
    except json.JSONDecodeError as e:
        fail(fragment, f"not JSON: {e}")
        return
    unknown = set(wanted) - {"celle", "voci", "tracciato", "celle_totali"}
    if unknown:
        fail(fragment, f"unknown keys {sorted(unknown)}")
    compare_table(fragment, "cell", "cella", base.celle, now.celle,
                  expand(fragment, wanted.get("celle", []), "cella"))
    compare_table(fragment, "entry", "voce", base.voci, now.voci,
                  expand(fragment, wanted.get("voci", []), "voce"))
    compare_table(fragment, "plan", "tracciato", {0: base.tracciato}, {0: now.tracciato},
                  {0: wanted["tracciato"]} if "tracciato" in wanted else {})
    if len(now.celle) != len(base.celle) or "celle_totali" in wanted:
        if wanted.get("celle_totali") != len(now.celle):
            fail(fragment, f"the grid has {len(now.celle)} cells, the page says "
                           f"{wanted.get('celle_totali')}")


def insert(base_text, lines, where):
    """`lines` put into a base source: before the section that ends the
    header ("header"), or before its last line ("end")."""
    rows = base_text.rstrip("\n").split("\n")
    if where == "header":
        at = next(i for i in range(1, len(rows)) if rows[i].startswith("["))
    else:
        at = len(rows) - 1
    return "\n".join(rows[:at] + lines.rstrip("\n").split("\n") + rows[at:]) + "\n"


def check_builtin(exe, every):
    """Each builtin block's lines, in order, among the built-in source's."""
    with tempfile.TemporaryDirectory() as d:
        subprocess.run([exe, "sources"], cwd=d, check=True, capture_output=True)
        written = {}
        for kind, name in (("linea-builtin", "LIVRA_MONTALBA_linea.txt"),
                           ("treno-builtin", "LIVRA_MONTALBA_R47316-.txt")):
            with open(os.path.join(d, name), encoding="ascii", newline="") as f:
                written[kind] = [l.rstrip() for l in f.read().split("\r\n")]
    for block in every:
        if block.info not in written:
            continue
        rest = iter(written[block.info])
        for line in block.text.rstrip("\n").split("\n"):
            if not any(line.rstrip() == l for l in rest):
                fail(block, f"\"{line}\" is not a line of the built-in source, or not in its order")
                break


def expected_messages(block):
    lines = [l.rstrip() for l in block.text.rstrip("\n").split("\n")]
    return [] if lines == ["(no message)"] else lines


UPDATE = "--update" in sys.argv  # rewrite the quoted messages from what check prints
updates = {}  # page -> {line of the check block: its new text}


def check_messages(messages, now):
    """The check block `messages` against what check printed."""
    want = expected_messages(messages)
    got = now.stderr.rstrip("\n").split("\n") if now.stderr else []
    if got != want:
        if UPDATE:
            updates.setdefault(messages.page, {})[messages.line] = got or ["(no message)"]
        else:
            fail(messages, "check prints\n    " + "\n    ".join(got or ["(no message)"]) +
                 "\n  the page quotes\n    " + "\n    ".join(want or ["(no message)"]) +
                 "\n  update the page (or the program), or run with --update")
    status = 1 if any(re.search(r"(^|: )error \d+:", l) for l in got) else 0
    if now.status != status:
        fail(messages, f"check exits {now.status}, expected {status}")


def write_updates():
    for page, blocks_at in updates.items():
        with open(page, encoding="utf-8") as f:
            lines = f.read().split("\n")
        for start in sorted(blocks_at, reverse=True):
            end = start  # the closing fence after the block's opening line
            while not lines[end].startswith("```"):
                end += 1
            lines[start:end] = blocks_at[start]
        with open(page, "w", encoding="utf-8") as f:
            f.write("\n".join(lines))


def main():
    args = [a for a in sys.argv[1:] if a != "--update"]
    exe, pages = os.path.abspath(args[0]), args[1:]
    every = [b for page in pages for b in blocks(page)]
    bases = {}
    for kind in ("linea-base", "treno-base"):
        found = [b for b in every if b.info == kind]
        if len(found) != 1:
            print(f"FAILED: {len(found)} blocks {kind} in {', '.join(pages)}, expected one")
            return 1
        bases[kind] = found[0]
    line_base, train_base = bases["linea-base"].text, bases["treno-base"].text

    base = Compiled(exe, line_base, train_base)
    if base.status != 0 or base.stderr:
        fail(bases["linea-base"], f"the base sources do not compile cleanly: {base.stderr}")
        return report()

    check_builtin(exe, every)

    examples = traps = 0
    for n, block in enumerate(every):
        if block.info not in EXAMPLES + TRAPS:
            continue
        after = []
        for b in every[n + 1:]:
            if b.page != block.page or b.info not in ("json", "check"):
                break
            after.append(b)
        fragment = next((b for b in after if b.info == "json"), None)
        messages = next((b for b in after if b.info == "check"), None)

        if block.info == "linea-testata":
            line, train = insert(line_base, block.text, "header"), train_base
        elif block.info == "linea":
            line, train = insert(line_base, block.text, "end"), train_base
        elif block.info == "treno":
            line, train = line_base, insert(train_base, block.text, "end")
        elif block.info == "linea-file":
            line, train = block.text, train_base
        else:
            line, train = line_base, block.text
        now = Compiled(exe, line, train)

        if block.info in EXAMPLES:
            examples += 1
            if fragment is None:
                fail(block, "a record example without the json block of what it makes")
            if now.status != 0 or (now.stderr and messages is None):
                fail(block, f"check exits {now.status} and says: {now.stderr.strip()}")
                continue
            if messages is not None:
                check_messages(messages, now)
            compare(fragment, base, now, fragment)
            continue

        traps += 1
        if messages is None:
            fail(block, "a trap without the check block of what check prints")
            continue
        check_messages(messages, now)
        if fragment is not None:
            if now.celle is None:
                fail(fragment, "a json block after a trap that does not compile cleanly")
            else:
                compare(fragment, base, now, fragment)

    if examples == 0 or traps == 0:
        fail(bases["linea-base"], "no record example or no trap found")
    return report("every record example and every trap gives what the pages say")


def report(passed=""):
    if UPDATE:
        write_updates()
    if failures:
        print("FAILED:\n" + "\n".join(failures))
        return 1
    print(f"passed: {passed}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
