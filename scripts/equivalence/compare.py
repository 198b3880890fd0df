#!/usr/bin/env python3
"""Runs every case with two builds and compares what they do.

    python3 compare.py --ref DIR --cur DIR --cases DIR --work DIR [--jobs N] [--shown N] [--keep]

DIR for --ref and --cur holds that build's genera_scenario and harness (a
build without a harness is compared on the commands alone). --cases is the
folder cases.py wrote. Every invocation runs in a fresh folder of its own
under --work, holding a copy of the case's sources, with the paths relative
to it, so both builds see the same command lines:

    harness LINE TRAIN out [names]                 report.txt and every file in out/
    harness LINE TRAIN out [names] --no-plan
    genera_scenario compile LINE TRAIN --out out --json [names]
    genera_scenario compile LINE TRAIN --out out --no-plan --json [names]
    genera_scenario check LINE TRAIN --json [names]
    genera_scenario check LINE TRAIN --no-plan --json [names]

and, once, `genera_scenario --out out` and `genera_scenario sources --out out`.
Compared: the exit status, stdout and stderr (the harness's own stdout and
stderr are not: only its exit status, report and files are its output), the
names and bytes of every file the run left, and what became of the two
sources; the commands must also leave the sources untouched. The coverage
is taken from the reference harness's reports. Exit status 1 on any
difference.
"""

import argparse
import collections
import concurrent.futures
import difflib
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import time

TEMPO_MASSIMO = 600  # seconds for one invocation

INVOCAZIONI = [
    ("harness", True, []),
    ("harness --no-plan", True, ["--no-plan"]),
    ("compile --json", False, ["compile", "{L}", "{T}", "--out", "out", "--json"]),
    ("compile --no-plan --json", False, ["compile", "{L}", "{T}", "--out", "out", "--no-plan", "--json"]),
    ("check --json", False, ["check", "{L}", "{T}", "--json"]),
    ("check --no-plan --json", False, ["check", "{L}", "{T}", "--no-plan", "--json"]),
]

CODICI_ATTESI = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                 101, 102, 103, 104, 105, 1250, 1251]
DURE_LINEA = {1, 3, 4, 5, 6, 21, 103, 104, 105}
DURE_TRENO = {7, 8, 9, 10, 16, 17, 18, 19, 20, 22, 23, 24}
TIPI_FERMATA = [
    ("nessun codice", "no failure code"),
    ("fine morbida 15 linea", "soft stop, code 15, line source"),
    ("fine morbida 15 treno", "soft stop, code 15, train source"),
    ("fine dura linea", "hard stop, line source (1 3 4 5 6 21 103 104 105)"),
    ("fine dura treno", "hard stop, train source (7 8 9 10 16-20 22-24)"),
    ("fine dura codice precedente", "hard stop at a signal or slowdown, earlier code"),
    ("25 linea", "run-time failure 25, line source"),
    ("25 treno", "run-time failure 25, train source"),
    ("101", "101, no line source"),
    ("102", "102, no [generale]"),
    ("post-pass", "post-pass code (11 12 13), compiled on"),
    ("progressive", "progressives code 2"),
    ("1250", "race-code slot taken, 1250"),
    ("1251", "race-code slot taken, 1251"),
    ("eccezione", "exception escaped the run"),
]


class Esito:
    """What one invocation did."""

    def __init__(self, stato, out, err, file, sorgenti, cartella):
        self.stato = stato          # exit status, or "timeout"
        self.out = out
        self.err = err
        self.file = file            # relative path -> (size, sha256)
        self.sorgenti = sorgenti    # "linea"/"treno" -> state
        self.cartella = cartella


def impronta(percorso):
    h = hashlib.sha256()
    with open(percorso, "rb") as f:
        for blocco in iter(lambda: f.read(1 << 20), b""):
            h.update(blocco)
    return os.path.getsize(percorso), h.hexdigest()


def stato_sorgente(percorso, prima):
    if prima is None:
        return "assente" if not os.path.exists(percorso) else "comparsa"
    if not os.path.exists(percorso):
        return "eliminata"
    with open(percorso, "rb") as f:
        return "intatta" if f.read() == prima else "modificata"


def esegui(argv, cartella, sorgenti):
    """Runs argv in `cartella`, which holds the sources {name: bytes or None}."""
    os.makedirs(cartella)
    for nome, byte in sorgenti.items():
        if byte is not None:
            with open(os.path.join(cartella, nome), "wb") as f:
                f.write(byte)
    try:
        p = subprocess.run(argv, cwd=cartella, stdin=subprocess.DEVNULL, capture_output=True,
                           timeout=TEMPO_MASSIMO)
        stato, out, err = p.returncode, p.stdout, p.stderr
    except subprocess.TimeoutExpired as e:
        stato, out, err = "timeout", e.stdout or b"", e.stderr or b""
    file = {}
    for radice, _, nomi in os.walk(cartella):
        for n in nomi:
            completo = os.path.join(radice, n)
            rel = os.path.relpath(completo, cartella)
            if rel not in sorgenti:
                file[rel] = impronta(completo)
    stati = {nome: stato_sorgente(os.path.join(cartella, nome), byte) for nome, byte in sorgenti.items()}
    return Esito(stato, out, err, file, stati, cartella)


# ---------------------------------------------------------------------------
# Differences


def diff_testo(a, b, nome, righe_max=40):
    la = a.decode("latin-1").splitlines()
    lb = b.decode("latin-1").splitlines()
    d = list(difflib.unified_diff(la, lb, "reference/" + nome, "current/" + nome, lineterm="", n=2))
    if len(d) > righe_max:
        d = d[:righe_max] + ["... (%d more diff lines)" % (len(d) - righe_max)]
    return "\n".join(d)


def diff_binario(pa, pb):
    """Where two compact files part; for a route file, the cell too (15 bytes a cell)."""
    with open(pa, "rb") as f:
        a = f.read()
    with open(pb, "rb") as f:
        b = f.read()
    n = min(len(a), len(b))
    i = next((k for k in range(n) if a[k] != b[k]), n)
    inizio = max(0, i - 8)
    dove = ""
    if pa.endswith(".dat") and not pa.endswith("_linea.dat"):
        dove = " (cell %d, byte %d of it)" % (i // 15, i % 15)
    return ("sizes %d and %d, first different byte at offset %d%s\n  bytes from offset %d:\n"
            "  reference: %s\n  current:   %s"
            % (len(a), len(b), i, dove, inizio, a[inizio:i + 24].hex(" "), b[inizio:i + 24].hex(" ")))


def testuale(nome):
    return nome.endswith(".txt") or nome.endswith(".json") or nome.endswith(".svg")


# EQUIVALENCE_MESSAGES=ignore: the messages may differ (new warnings, new
# wording), everything else may not: stdout, stderr and the report's
# "messaggio" lines are left out of the comparison.
SOLO_ESITI = os.environ.get("EQUIVALENCE_MESSAGES") == "ignore"


def senza_messaggi(dati):
    return b"\n".join(r for r in dati.split(b"\n") if not r.startswith(b"messaggio "))


def confronta(r, c, confronta_output=True):
    """A list of (what, detail) for every way `c` differs from `r`."""
    diff = []
    confronta_output = confronta_output and not SOLO_ESITI
    if r.stato != c.stato:
        diff.append(("exit status %s / %s" % (r.stato, c.stato),
                     diff_testo(r.err, c.err, "stderr")))
    if confronta_output:
        if r.out != c.out:
            diff.append(("stdout", diff_testo(r.out, c.out, "stdout")))
        if r.err != c.err:
            diff.append(("stderr", diff_testo(r.err, c.err, "stderr")))
    for nome in sorted(set(r.file) | set(c.file)):
        if nome not in c.file:
            diff.append(("file %s written by the reference only" % nome, ""))
        elif nome not in r.file:
            diff.append(("file %s written by the current build only" % nome, ""))
        elif r.file[nome] != c.file[nome]:
            pa, pb = os.path.join(r.cartella, nome), os.path.join(c.cartella, nome)
            if SOLO_ESITI and nome.endswith("report.txt"):
                with open(pa, "rb") as fa, open(pb, "rb") as fb:
                    if senza_messaggi(fa.read()) == senza_messaggi(fb.read()):
                        continue
            pa, pb = os.path.join(r.cartella, nome), os.path.join(c.cartella, nome)
            if testuale(nome):
                with open(pa, "rb") as fa, open(pb, "rb") as fb:
                    dettaglio = diff_testo(fa.read(), fb.read(), nome)
            else:
                dettaglio = diff_binario(pa, pb)
            diff.append(("file %s" % nome, dettaglio))
    for nome in sorted(r.sorgenti):
        if r.sorgenti[nome] != c.sorgenti[nome]:
            diff.append(("source %s: %s / %s" % (nome, r.sorgenti[nome], c.sorgenti[nome]), ""))
    return diff


# ---------------------------------------------------------------------------
# Coverage, from the reference harness's reports

RIGA_MESSAGGIO = re.compile(r"^(?:(.*?)(?::(\d+))?: )?error (-?\d+): (.*)$")


def leggi_rapporto(testo):
    r = {"messaggi": [], "eccezione": None}
    for riga in testo.decode("latin-1").splitlines():
        chiave, _, valore = riga.partition(" ")
        if chiave == "messaggio":
            m = RIGA_MESSAGGIO.match(valore)
            if m:
                r["messaggi"].append((m.group(1) or "", int(m.group(3)), m.group(4)))
        elif chiave in ("codice_errore", "posizione_errore", "codici_gara"):
            r[chiave] = int(valore)
        elif chiave == "eccezione":
            r["eccezione"] = valore
        elif chiave in ("sorgente_linea", "sorgente_treno"):
            r[chiave] = valore
    return r


def tipi_fermata(r):
    tipi = set()
    if r["eccezione"]:
        return {"eccezione"}
    gara = r.get("codici_gara", 0)
    if gara:
        tipi.add(str(gara))
    if r.get("codice_errore", 0) == 0 and not gara:
        tipi.add("nessun codice")
    for file, codice, testo in r["messaggi"]:
        da_treno = file.endswith("-.txt")
        if codice == 15:
            tipi.add("fine morbida 15 " + ("treno" if da_treno else "linea"))
        elif codice == 25:
            tipi.add("25 " + ("treno" if da_treno else "linea"))
        elif codice in (101, 102):
            tipi.add(str(codice))
        elif codice in (11, 12, 13):
            tipi.add("post-pass")
        elif codice == 2:
            tipi.add("progressive")
        elif codice in DURE_LINEA and not da_treno:
            tipi.add("fine dura linea")
        elif codice in DURE_TRENO and da_treno:
            tipi.add("fine dura treno")
        if "because of the earlier error" in testo:
            tipi.add("fine dura codice precedente")
    return tipi


class Copertura:
    def __init__(self):
        self.esecuzioni = 0
        self.finali = collections.Counter()
        self.nei_messaggi = collections.Counter()
        self.fermate = collections.Counter()
        self.sorgenti = collections.Counter()
        self.uscite = collections.defaultdict(collections.Counter)

    def aggiungi(self, rapporto):
        r = leggi_rapporto(rapporto)
        self.esecuzioni += 1
        if r["eccezione"]:
            self.finali["exception"] += 1
        else:
            self.finali[r.get("codici_gara") or r.get("codice_errore", 0)] += 1
        for codice in {m[1] for m in r["messaggi"]}:
            self.nei_messaggi[codice] += 1
        if r.get("codici_gara"):
            self.nei_messaggi[r["codici_gara"]] += 1
        for t in tipi_fermata(r):
            self.fermate[t] += 1
        self.sorgenti[("linea", r.get("sorgente_linea"))] += 1
        self.sorgenti[("treno", r.get("sorgente_treno"))] += 1


# ---------------------------------------------------------------------------


def sostituisci(argv, caso):
    return [caso["linea"] if a == "{L}" else caso["treno"] if a == "{T}" else a for a in argv]


def esegui_caso(caso, o, con_harness):
    cartella_caso = os.path.join(o.cases, caso["nome"])
    sorgenti = {}
    for chi in ("linea", "treno"):
        p = os.path.join(cartella_caso, caso[chi])
        sorgenti[caso[chi]] = open(p, "rb").read() if os.path.exists(p) else None
    differenze = []
    rapporti = []
    uscite = []
    radice = os.path.join(o.work, "run", caso["nome"])
    for i, (nome, harness, argomenti) in enumerate(INVOCAZIONI):
        if harness and not con_harness:
            continue
        esiti = {}
        for lato, build in (("ref", o.ref), ("cur", o.cur)):
            if harness:
                argv = [os.path.join(build, "harness"), caso["linea"], caso["treno"], "out"] + caso["argomenti"] \
                    + argomenti
            else:
                argv = [os.path.join(build, "genera_scenario")] + sostituisci(argomenti, caso) + caso["argomenti"]
            esiti[lato] = esegui(argv, os.path.join(radice, lato, str(i)), sorgenti)
        r, c = esiti["ref"], esiti["cur"]
        for d in confronta(r, c, confronta_output=not harness):
            differenze.append((caso["nome"], nome, d[0], d[1]))
        if harness:
            if "out/report.txt" in r.file:
                with open(os.path.join(r.cartella, "out/report.txt"), "rb") as f:
                    rapporti.append(f.read())
        else:
            uscite.append((nome.split()[0], r.stato))
            for lato, e in (("reference", r), ("current", c)):
                toccate = [n for n, s in e.sorgenti.items() if s not in ("intatta", "assente")]
                if toccate:
                    differenze.append((caso["nome"], nome, "%s build: source %s %s" % (
                        lato, toccate[0], e.sorgenti[toccate[0]]), "the commands never change the sources"))
    if not o.keep:
        shutil.rmtree(radice, ignore_errors=True)
    return differenze, rapporti, uscite


def esegui_una_volta(o):
    """The run without arguments and `sources`, in fresh folders."""
    differenze = []
    for nome, argomenti in (("genera_scenario --out out", ["--out", "out"]),
                            ("genera_scenario sources --out out", ["sources", "--out", "out"])):
        radice = os.path.join(o.work, "run", "_una_volta", nome.split()[1])
        esiti = [esegui([os.path.join(b, "genera_scenario")] + argomenti, os.path.join(radice, lato), {})
                 for lato, b in (("ref", o.ref), ("cur", o.cur))]
        for d in confronta(*esiti):
            differenze.append(("(once)", nome, d[0], d[1]))
        if not esiti[0].file:
            differenze.append(("(once)", nome, "the reference wrote no file", ""))
        if not o.keep:
            shutil.rmtree(radice, ignore_errors=True)
    return differenze


def riepilogo(o, casi, differenze, cop, con_harness, durata):
    print()
    print("Equivalence: %d cases (%s), %d invocations each with both builds, plus the run without"
          " arguments and `sources`; %.0f s" % (len(casi), o.label or o.cases,
                                               sum(1 for _, h, _ in INVOCAZIONI if con_harness or not h), durata))
    if not con_harness:
        print("  (no harness in one of the builds: the library's view was not compared)")
    print("Differences: %d" % len(differenze))
    per_caso = collections.OrderedDict()
    for d in differenze:
        per_caso.setdefault(d[0], []).append(d)
    for caso, diff in list(per_caso.items())[:20]:
        print("  %-32s %s" % (caso, "; ".join(sorted({"%s: %s" % (d[1], d[2].split(":")[0]) for d in diff}))[:200]))
    if len(per_caso) > 20:
        print("  ... and %d more cases" % (len(per_caso) - 20))
    # In detail: the first difference of each of the first cases.
    for caso, diff in list(per_caso.items())[:o.shown]:
        _, invocazione, cosa, dettaglio = diff[0]
        print()
        print("--- case %s, %s: %s" % (caso, invocazione, cosa))
        if dettaglio:
            print(dettaglio)
    if len(per_caso) > o.shown:
        print("\n(the first difference of %d of %d cases shown: --shown N, --keep for the folders)"
              % (o.shown, len(per_caso)))

    if cop.esecuzioni:
        print()
        print("Coverage (reference harness, %d runs: every case with and without the plan)" % cop.esecuzioni)

        def istogramma(c):
            return "  ".join("%s:%d" % (k, c[k]) for k in sorted(c, key=lambda x: (isinstance(x, str), x)))
        print("  final code      " + istogramma(cop.finali))
        print("  in messages     " + istogramma(cop.nei_messaggi) + "  (1250 / 1251: the stamp's result)")
        mancanti = [k for k in CODICI_ATTESI if k not in cop.nei_messaggi]
        print("  codes not reached: " + (" ".join(map(str, mancanti)) if mancanti else "none"))
        print("  stops:")
        for chiave, testo in TIPI_FERMATA:
            print("    %-52s %d" % (testo, cop.fermate[chiave]))
        print("  sources after the run:")
        for chi, nome in (("linea", "line source"), ("treno", "train source")):
            print("    %-13s deleted %d, kept %d, not given %d" % (
                nome, cop.sorgenti[(chi, "eliminata")], cop.sorgenti[(chi, "intatta")],
                cop.sorgenti[(chi, "assente")]) + ("".join(
                    ", %s %d" % (s, cop.sorgenti[(chi, s)]) for s in ("modificata",) if cop.sorgenti[(chi, s)])))
        if not cop.sorgenti[("linea", "intatta")]:
            print("    (the line reader deletes a line source that exists on every path; it is left only"
                  " when missing, 101)")
    print("  command exit statuses (reference):")
    for comando in sorted(cop.uscite):
        print("    %-8s %s" % (comando, "  ".join("%s:%d" % kv for kv in sorted(cop.uscite[comando].items(),
                                                                              key=lambda kv: str(kv[0])))))


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("--ref", required=True)
    a.add_argument("--cur", required=True)
    a.add_argument("--cases", required=True)
    a.add_argument("--work", required=True)
    a.add_argument("--jobs", type=int, default=2)
    a.add_argument("--shown", type=int, default=5, help="differences shown in detail")
    a.add_argument("--label", default="", help="how the summary names the cases")
    a.add_argument("--keep", action="store_true", help="keep every invocation's folder")
    o = a.parse_args()
    inizio = time.time()
    with open(os.path.join(o.cases, "cases.json")) as f:
        casi = json.load(f)
    con_harness = all(os.path.exists(os.path.join(b, "harness")) for b in (o.ref, o.cur))

    differenze = esegui_una_volta(o)
    cop = Copertura()
    fatti = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, o.jobs)) as pool:
        for d, rapporti, uscite in pool.map(lambda c: esegui_caso(c, o, con_harness), casi):
            differenze += d
            for r in rapporti:
                cop.aggiungi(r)
            for comando, stato in uscite:
                cop.uscite[comando][stato] += 1
            fatti += 1
            if sys.stderr.isatty() and fatti % 10 == 0:
                sys.stderr.write("\r%d / %d cases, %d differences" % (fatti, len(casi), len(differenze)))
    if sys.stderr.isatty():
        sys.stderr.write("\r" + " " * 60 + "\r")
    riepilogo(o, casi, differenze, cop, con_harness, time.time() - inizio)
    return 1 if differenze else 0


if __name__ == "__main__":
    sys.exit(main())
