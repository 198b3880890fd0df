#!/usr/bin/env python3
"""The inputs of the equivalence comparison, the same for the same seed.

    python3 cases.py --out DIR [--seed S] [--count N] [--builtin DIR]

Writes one folder per case under DIR and DIR/cases.json, a list of
{"nome", "linea", "treno", "argomenti", "origine"}: "linea" and "treno" are
the sources' file names inside the case's folder (a name whose file is not
there is a missing source), "argomenti" the options that follow the two
files on every command line (--line-name, --train-code), "origine" the kind
of case (for the summary).

The mix: the built-in sources (taken from --builtin, the folder that
`genera_scenario sources` wrote) under their own and other names; one case
per recipe aimed at a failure code or a stop (RICETTE); then generated
sources, mostly valid (every record kind of both sources, lines from a few
km up to 1,000,000 m), generated and built-in sources with random mutations
(lines dropped, doubled, swapped, moved; fields set to edge values;
keywords misspelt; comments; truncation; other line ends) and further
recipes.
"""

import argparse
import json
import os
import random
import string

KM_MAX = 1000000
CODA = 7000


def arrotonda(x):
    """Nearest whole number, halves to even, as the compiler rounds."""
    return int(round(x))


def cella_oggetto(p):
    """The cell of a signal or a board at p metres."""
    return arrotonda(p / 50 + 1)


# ---------------------------------------------------------------------------
# Names

PAROLE = ["VALLE", "MONTE", "PIANO", "BORGO", "PORTO", "CASALE", "ROCCA", "SERRA",
          "FONTE", "POGGIO", "CERRETO", "LAGO", "CAMPO", "COLLE", "RIVA"]
LUOGHI = ["Livra", "San Vito", "Roveto", "Casalpiano", "Fontanelle", "Pietralunga",
          "Castelnuovo", "Villa Rosa", "Valcerreto", "Orta", "Pian di Serra",
          "Selvapiana", "Pratolungo", "Montalba Centrale", "Poggio Alto", "Riva Bassa"]


def nome_linea(rng):
    r = rng.random()
    if r < 0.25:
        return "LIVRA_MONTALBA"
    if r < 0.85:
        return rng.choice(PAROLE) + "_" + rng.choice(PAROLE)
    return rng.choice(["A", "x", "Linea7", "tratta-nord", "VALLE", "Z_1_2_3_4_5_6_7_8_9_10"])


def codice_treno(rng):
    r = rng.random()
    if r < 0.25:
        return "R47316"
    if r < 0.8:
        return rng.choice(["R", "IC", "REG", "D", "ES"]) + str(rng.randrange(1, 99999))
    return rng.choice(["r47316", "T", "treno_1", "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", "0"])


# ---------------------------------------------------------------------------
# Generated sources, as records, so that recipes can change them


def spazi(rng):
    return rng.choice([",", ", ", ",  ", ",    ", " ,", ",\t"])


def campi(rng, *valori):
    out = str(valori[0])
    for v in valori[1:]:
        out += spazi(rng) + str(v)
    return out


class Scena:
    """A line source and a train source with what a recipe needs to know."""

    def __init__(self):
        self.L = 0
        self.U = 0
        self.testata_linea = []      # header records after [generale]
        self.linea = {}              # section -> records
        self.ordine_linea = ["[curve]", "[pendenze]", "[montagne]", "[cartelli]", "[indicazioni]"]
        self.testata_treno = []
        self.treno = {}
        self.ordine_treno = ["[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]",
                             "[segnali]", "[codici]"]
        self.occupate = set()        # cells taken by an object
        self.segnali = []            # positions
        self.rallentamenti = []      # (x, l, cells)
        self.stazioni = []           # (p, dato1, dato2)
        self.cartelli = 0            # indicator boards

    def righe_linea(self):
        out = ["[generale]"] + self.testata_linea
        for s in self.ordine_linea:
            out.append(s)
            out += self.linea.get(s, [])
        out.append("[fine]")
        return out

    def righe_treno(self):
        out = ["[generale]"] + self.testata_treno
        for s in self.ordine_treno:
            out.append(s)
            out += self.treno.get(s, [])
        out.append("[fine]")
        return out

    def libera(self, c, margine=0):
        return all((k not in self.occupate) for k in range(c - margine, c + margine + 1))


def lunghezza(rng):
    r = rng.random()
    if r < 0.30:
        return rng.randrange(40, 200) * 50              # 2 to 10 km
    if r < 0.85:
        return rng.randrange(200, 3000) * 50            # 10 to 150 km
    if r < 0.97:
        return rng.randrange(3000, 8000) * 50           # 150 to 400 km
    return rng.choice([KM_MAX, KM_MAX, rng.randrange(993001, KM_MAX)])


def posizione(rng, lo, hi, multipla=0.9):
    """A position in [lo, hi], most often a multiple of 50."""
    lo, hi = int(lo), int(hi)
    if hi < lo:
        return lo
    if rng.random() < multipla and hi // 50 >= -(-lo // 50):
        return rng.randrange(-(-lo // 50), hi // 50 + 1) * 50
    return rng.randint(lo, hi)


def posizioni_crescenti(rng, n, lo, hi):
    return sorted(posizione(rng, lo, hi) for _ in range(n))


def testata_linea(rng, sc):
    recs = ["lunghezza percorso," + rng.choice([" ", "    "]) + str(sc.L)]
    for parola in rng.sample(["uno", "due", "tre"], rng.randint(0, 3)):
        recs.append(campi(rng, "progressiva chilometrica " + parola,
                          rng.randrange(0, 400) * 50 if rng.random() < 0.7 else 0,
                          rng.randrange(0, 200) * 50, rng.choice([0, 0, 1])))
    for parola in rng.sample(["uno", "due", "tre"], rng.randint(0, 3)):
        recs.append(campi(rng, "sfondo " + parola, rng.choice([0, 1, 2, posizione(rng, 0, sc.L)])))
    if rng.random() < 0.75:
        inizio = posizione(rng, 0, sc.L // 2, 1.0)
        fine = 0 if rng.random() < 0.1 else posizione(rng, inizio, sc.L + 500, 1.0)
        chiave = "ripetizione segnali " + rng.choice(["9", "4"]) + rng.choice([" codici", "", " codici bacheca"])
        recs.append(campi(rng, chiave, inizio, fine))
    rng.shuffle(recs)
    if rng.random() < 0.15:
        recs.insert(rng.randrange(len(recs) + 1), "- " + rng.choice(LUOGHI) + " -")
    sc.testata_linea = recs


def corpo_linea(rng, sc):
    L = sc.L
    alto = rng.random() < 0.3
    # Curves: class digit 1 to 6, side s or d, the plan follows them.
    curve = []
    for p in posizioni_crescenti(rng, rng.randint(0, min(60, L // 1500 + 3)), 0, L):
        chiave = rng.choice(["curva", "curva", "Curva", "CURVA"]) + rng.choice(["s", "d", "S", "D", " s", "d "]) \
            + rng.choice("123456")
        curve.append(campi(rng, chiave, p, rng.randrange(1, 50) * 50))
    sc.linea["[curve]"] = curve
    # Gradients.
    pend = []
    for i, p in enumerate(posizioni_crescenti(rng, rng.randint(1, min(40, L // 1000 + 2)), 0, L)):
        pend.append(campi(rng, "pendenza" if not alto else "PENDENZA", 0 if i == 0 else p, rng.randint(-35, 35)))
    sc.linea["[pendenze]"] = pend
    # Tunnels, lit (11, 12) and unlit (1, 2); close ones become kind 3.
    mont = []
    p = posizione(rng, 0, min(L, 5000))
    for _ in range(rng.randint(0, min(30, L // 3000 + 1))):
        lun = rng.randrange(2, 200) * 50
        if p + lun > L:
            break
        mont.append(campi(rng, "montagna", p, p + lun, rng.choice([1, 2, 11, 12, 2, 11])))
        p += lun + rng.choice([100, 150, 200, 500, 1000, 3000])
    sc.linea["[montagne]"] = mont
    # Speed-indicator boards and indicator boards on free cells.
    ind = []
    for _ in range(rng.randint(0, min(12, L // 5000 + 1))):
        for _ in range(20):
            q = posizione(rng, 100, L)
            c = cella_oggetto(q)
            if c > 1 and sc.libera(c):
                break
        else:
            continue
        sc.occupate.add(c)
        vs = [rng.choice([60, 80, 100, 120, 140, 150, 160, 180]) for _ in range(3)]
        vd = [rng.choice(["", " ", "0", "30", "50"]) for _ in range(3)]
        ind.append(campi(rng, "indicatori_vmax", q, vs[0], vs[1], vs[2], rng.randint(0, 2),
                         vd[0], vd[1], vd[2], rng.randint(0, 2)))
    sc.linea["[cartelli]"] = ind
    cart = []
    for _ in range(rng.randint(0, min(15, L // 4000 + 1))):
        for _ in range(20):
            q = posizione(rng, 100, L)
            c = cella_oggetto(q)
            if c > 1 and sc.libera(c):
                break
        else:
            continue
        sc.occupate.add(c)
        testo = "(Galleria)(" + rng.choice(LUOGHI) + ")"
        if rng.random() < 0.15:
            testo = '"' + testo + ", " + str(rng.randrange(100, 9999)) + ' mt."'
        cart.append(campi(rng, "cartello_indicatore", q, "  " + testo))
        sc.cartelli += 1
    sc.linea["[indicazioni]"] = cart


def testata_treno(rng, sc):
    recs = [campi(rng, "numero vetture", rng.randint(1, 14)),
            campi(rng, "percentuale massa frenata", rng.randint(60, 160)),
            campi(rng, "sabbia", rng.choice([0, 100, 300, 500])),
            "orologio," + "    ".join(str(v) for v in (rng.randint(0, 23), rng.randint(0, 59), rng.randint(0, 59)))]
    rng.shuffle(recs)
    sc.testata_treno = recs


def stazione(rng, p, tipo, l, nome, byte3=0):
    return campi(rng, "stazione", p, tipo, l, rng.randint(0, 1), rng.randint(0, 1), byte3,
                 rng.randint(0, 4), rng.randint(0, 1), rng.randint(0, 1),
                 rng.randint(0, 4), rng.randint(0, 1), rng.randint(0, 1), rng.choice([0, 1, 45, 120]),
                 rng.randint(0, 23), rng.randint(0, 59), rng.randint(0, 59), nome)


def area_stazione(i, p, tipo, l, byte3):
    """dato1 and dato2 of station i as the reader computes them."""
    if tipo in (5, 6):
        return p - l, p + 150
    if tipo in (7, 8):
        return p - l, p + l
    d1 = arrotonda(p - l / 2)
    d2 = arrotonda(p + l / 2 + 50) if byte3 != 0 else arrotonda(p + l / 2)
    return d1, d2


def corpo_treno(rng, sc):
    L, U = sc.L, sc.U
    ader = []
    for i, p in enumerate(posizioni_crescenti(rng, rng.randint(1, 8), 0, L)):
        ader.append(campi(rng, "aderenza", 0 if i == 0 else p, rng.choice([70, 80, 85, 90, 95])))
    sc.treno["[aderenze]"] = ader
    vel = []
    for i, p in enumerate(posizioni_crescenti(rng, rng.randint(1, min(30, L // 2000 + 2)), 0, L)):
        vel.append(campi(rng, rng.choice(["velocita", "velocita", "VELOCITA'", "velocità"]), 0 if i == 0 else p,
                         rng.randrange(6, 50) * 5))
    sc.treno["[vel_limite]"] = vel

    # Stations in order, their areas 350 m apart at least.
    staz = []
    massimo = max(0, min(30, 78 - sc.cartelli, L // 2500 + 2))
    p = 0 if rng.random() < 0.5 else posizione(rng, 500, 3000, 1.0)
    fine_prima = None
    for i in range(1, rng.randint(0, massimo) + 1):
        tipo = rng.choice([2, 2, 4, 12, 12, 22, 24, 26, 28, 5, 6, 7, 8, 1, 30])
        l = rng.randrange(2, 10) * 100
        byte3 = rng.choice([0, 0, 1])
        if i == 1 and p == 0:
            tipo, l = 2, rng.choice([700, 900])
        d1, d2 = area_stazione(i, p, tipo, l, byte3)
        if fine_prima is not None and d1 - 350 < fine_prima:
            p = (fine_prima + 350 + l + 50) // 50 * 50
            d1, d2 = area_stazione(i, p, tipo, l, byte3)
        if (p + 800) / 50 > U or p > L:
            break
        fermata = arrotonda(d2 / 50 - 1)
        if tipo < 25:
            if fermata > U or d2 / 50 - 1 <= 1:
                break
            sc.occupate.add(fermata)
        staz.append(stazione(rng, p, tipo, l, rng.choice(LUOGHI), byte3))
        sc.stazioni.append((p, d1, d2))
        fine_prima = d2
        p = (d2 + 350 + rng.randrange(0, 200) * 50 + l) // 50 * 50
    sc.treno["[stazioni]"] = staz

    # Slowdowns on free stretches, away from everything.
    rall = []
    for _ in range(rng.randint(0, min(6, L // 8000 + 1))):
        for _ in range(20):
            x = posizione(rng, 1550 if rng.random() < 0.9 else 0, max(1550, L - 3000))
            l = rng.randrange(1, 60) * 50
            s, e = cella_oggetto(x), cella_oggetto(x + l)
            b = arrotonda((x - 1200) / 50 + 1)
            if e <= U - 3 and all(sc.libera(c) for c in range(b - 24, e + 14)):
                break
        else:
            continue
        f_ta = rng.choice([0, 1, 1])
        celle = [s, e] + ([b] if x > 1500 else []) + ([b - 1 - k for k in range(4)] if f_ta and x > 1500 else [])
        sc.occupate.update(celle)
        sc.rallentamenti.append((x, l, celle))
        rall.append(campi(rng, "rallentamento", x, rng.choice([30, 60, 80, 100, 120, 140]), l,
                          rng.randint(0, 1), f_ta, rng.choice([0, 0, 50, 30])))
    sc.treno["[rallentamenti]"] = rall

    # Signals, three cells clear of any other object.
    seg = []
    p = posizione(rng, 300, 2000)
    while p <= L and len(seg) < 400:
        c = cella_oggetto(p)
        if c > 1 and sc.libera(c, 2):
            sx = rng.choice([1, 2])
            tempo = rng.choice([0, 0, 0, 215, 50, 101, 300])
            seg.append(campi(rng, "segnale", p, sx, rng.randint(1, 6), rng.randint(0, 6), 0, rng.randint(0, 2),
                             rng.randint(0, 3), rng.randint(0, 3), rng.randint(0, 1), 0, tempo))
            sc.occupate.add(c)
            sc.segnali.append(p)
        p += rng.randrange(6, 60) * 50 + (0 if rng.random() < 0.9 else rng.randint(1, 49))
    sc.treno["[segnali]"] = seg

    # Code cuts and codes.
    cod = []
    for _ in range(rng.randint(0, 4)):
        q = posizione(rng, 200, L)
        k = arrotonda(q / 50)
        if sc.libera(k, 1):
            sc.occupate.add(k)
            cod.append(campi(rng, "abbattimento", q, rng.choice([0, -1, 75, 120, 180])))
    sc.treno["[codici]"] = cod


def genera_scena(rng, L=None):
    sc = Scena()
    sc.L = L if L is not None else lunghezza(rng)
    sc.U = arrotonda((sc.L + CODA) / 50)
    testata_linea(rng, sc)
    corpo_linea(rng, sc)
    testata_treno(rng, sc)
    corpo_treno(rng, sc)
    if rng.random() < 0.08:
        # Sections in another order: still read, other cells first.
        rng.shuffle(sc.ordine_treno)
    return sc


# ---------------------------------------------------------------------------
# Recipes: each aims at one failure code or stop; they change a scene.


def segnale(p, s1=1, d1=0, s2=0, d2=0):
    return "segnale, %d, 2, %d, %d, 0, 0, 2, %d, %d, 0, 0" % (p, s1, s2, d1, d2)


def tratto_libero(rng, sc, celle):
    """A cell c with cells c - 30 .. c + celle free, or None."""
    for _ in range(200):
        c = rng.randrange(40, max(41, sc.U - celle - 20))
        if all(sc.libera(k) for k in range(c - 30, c + celle + 1)):
            return c
    return None


def rallentamento_libero(rng, sc, v=60, celle=20, f_ta=1):
    """A slowdown record on a free stretch: (x, l, record) or None."""
    c = tratto_libero(rng, sc, celle + 40)
    if c is None:
        return None
    x = (c + 25) * 50
    l = celle * 50
    return x, l, "rallentamento, %d, %d, %d, 0, %d, 0" % (x, v, l, f_ta)


def prima_di(sc, sezione, record, rng):
    sc.treno[sezione].insert(rng.randrange(len(sc.treno[sezione]) + 1), record)


def r_lunghezza_eccessiva(rng, sc):  # 1
    sc.testata_linea[0:0] = ["lunghezza percorso, %d" % rng.choice([KM_MAX + 1, KM_MAX + 50, 2 ** 31 - 1])]
    return True


def r_progressive(rng, sc):  # 2
    sc.testata_linea.append("progressiva chilometrica uno, %d, %d, 0" % (rng.randrange(1, 100) * 50 + 25, 0))
    return True


def r_ripetizione_inizio(rng, sc):  # 3
    sc.testata_linea.append("ripetizione segnali 9 codici, %d, %d" % (1025, sc.L))
    return True


def r_ripetizione_fine(rng, sc):  # 4
    sc.testata_linea.append("ripetizione segnali 4 codici, %d, %d" % (1000, sc.L + 25))
    return True


def r_ripetizione_codici(rng, sc):  # 5
    sc.testata_linea.append("ripetizione segnali %s codici, 1000, %d" % (rng.choice(["", "7", "IX"]), sc.L // 50 * 50))
    return True


def r_cartello_occupato(rng, sc):  # 6
    c = tratto_libero(rng, sc, 2)
    if c is None:
        return False
    p = (c - 1) * 50
    sc.linea["[cartelli]"].append("indicatori_vmax, %d, 100, 110, 120, 0, , , , 0" % p)
    sc.linea["[indicazioni]"].insert(0, "cartello_indicatore, %d, (Galleria)(Doppia)" % p)
    return True


def r_abbattimento_occupato(rng, sc):  # 7
    if not sc.segnali:
        return False
    p = rng.choice(sc.segnali)
    sc.treno["[codici]"].append("abbattimento, %d, 0" % (p + 50))
    return True


def r_stazione_non_multipla(rng, sc):  # 8
    sc.treno["[stazioni]"].append("stazione, %d, 12, 500, 0,0,0, 1,1,0, 4,1,1, 0, 9,0,0, Fuori Passo"
                                  % (min(sc.L, sc.U * 50 - 900) // 50 * 50 + 25))
    return True


def r_stazione_lunghezza(rng, sc):  # 9
    p = min(sc.L, sc.U * 50 - 900) // 50 * 50
    sc.treno["[stazioni]"].append("stazione, %d, 12, %d, 0,0,0, 1,1,0, 4,1,1, 0, 9,0,0, Lunga"
                                  % (p, rng.choice([550, 50, 125])))
    return True


def cartelli_liberi(rng, sc, n):
    out = []
    for c in range(2, sc.U - 3):
        if len(out) == n:
            break
        if sc.libera(c):
            out.append("cartello_indicatore, %d, (Cartello %d)" % ((c - 1) * 50, len(out) + 1))
            sc.occupate.add(c)
    return out if len(out) == n else None


def r_troppe_stazioni(rng, sc):  # 10
    # The boards' texts fill the table from entry 80 down: 79 leave one entry.
    n = 79 - rng.choice([0, 1, 2])
    cart = cartelli_liberi(rng, sc, n - sc.cartelli)
    if cart is None:
        return False
    sc.linea["[indicazioni]"] += cart
    sc.cartelli = n
    if len(sc.treno["[stazioni]"]) < 3:
        sc.treno["[stazioni]"] += ["stazione, %d, 26, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, S%d" % (1000 * k, k)
                                   for k in (1, 2, 3)]
    return True


def r_codice_prima_di_avviso(rng, sc):  # 11
    r = rallentamento_libero(rng, sc, f_ta=0)
    if r is None:
        return False
    x, l, rec = r
    b = arrotonda((x - 1200) / 50 + 1)
    sc.treno["[rallentamenti]"].append(rec)
    for c in (b - 5, b - 4, b - 3):
        sc.treno["[segnali]"].append(segnale((c - 1) * 50))
    return True


def r_codice_prima_di_inizio(rng, sc):  # 12
    r = rallentamento_libero(rng, sc, f_ta=0)
    if r is None:
        return False
    x, l, rec = r
    s = cella_oggetto(x)
    sc.treno["[rallentamenti]"].append(rec)
    for c in (s - 7, s - 6, s - 5):
        sc.treno["[segnali]"].append(segnale((c - 1) * 50))
    return True


def r_codice_lungo(rng, sc):  # 13
    lungo = rng.random() < 0.6
    r = rallentamento_libero(rng, sc, v=rng.choice([40, 60, 100] if lungo else [110, 120]), celle=30, f_ta=0)
    if r is None:
        return False
    x, l, rec = r
    s = cella_oggetto(x)
    sc.treno["[rallentamenti]"].append(rec)
    if lungo:
        celle = (s + 7, s + 8, s + 9)   # along the slowdown: k, k - 1, k + 1 all taken
    else:
        # A fast slowdown: the first signal after its end (s + 30) has the
        # end cell and a signal inside the slowdown in front of it.
        celle = (s + 29, s + 31)
    for c in celle:
        sc.treno["[segnali]"].append(segnale((c - 1) * 50))
    return True


def r_oltre_linea(rng, sc):  # 15 from the line source
    sezione = rng.choice(["[pendenze]", "[montagne]", "[cartelli]", "[indicazioni]", "[curve]"])
    p = sc.U * 50 - rng.choice([99, 50, 0, -1000])
    rec = {"[pendenze]": "pendenza, %d, 3", "[montagne]": "montagna, %d, %d, 1", "[cartelli]":
           "indicatori_vmax, %d, 100, 100, 100, 0, , , , 0", "[indicazioni]": "cartello_indicatore, %d, (Oltre)",
           "[curve]": "curvas2, %d, 300"}[sezione]
    sc.linea[sezione].append(rec % ((p, p + 500) if sezione == "[montagne]" else p))
    return True


def r_oltre_treno(rng, sc):  # 15 from the train source
    sezione = rng.choice(["[segnali]", "[rallentamenti]", "[vel_limite]", "[aderenze]", "[codici]", "[stazioni]"])
    p = sc.U * 50 - rng.choice([99, 50, 0]) if sezione != "[stazioni]" else sc.U * 50 - 750
    rec = {"[segnali]": segnale(p), "[rallentamenti]": "rallentamento, %d, 60, 100, 0, 0, 0" % p,
           "[vel_limite]": "velocita, %d, 100" % p, "[aderenze]": "aderenza, %d, 80" % p,
           "[codici]": "abbattimento, %d, 1" % p,
           "[stazioni]": "stazione, %d, 26, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, Oltre" % p}[sezione]
    sc.treno[sezione].append(rec)
    return True


def r_segnale_doppio(rng, sc):  # 16
    if not sc.segnali:
        return False
    p = rng.choice(sc.segnali)
    sc.treno["[segnali]"].append(segnale(p + rng.choice([0, 10, -10])))
    return True


def r_rallentamento_occupato(quale):  # 17, 18, 19, 20
    def ricetta(rng, sc):
        r = rallentamento_libero(rng, sc, f_ta=1)
        if r is None:
            return False
        x, l, rec = r
        dove = {"avviso": x - 1200, "inizio": x, "fine": x + l,
                "prima": x - 1200 - 50 * rng.randint(1, 4)}[quale]
        # The signal comes first in the file: the slowdown finds its cell taken.
        sc.treno["[rallentamenti]"] += [segnale(dove), rec]
        return True
    return ricetta


def r_indicatori_occupato(rng, sc):  # 21
    c = tratto_libero(rng, sc, 2)
    if c is None:
        return False
    p = (c - 1) * 50
    sc.linea["[cartelli]"] += ["indicatori_vmax, %d, 100, 110, 120, 0, , , , 0" % p,
                               "indicatori_vmax, %d, 60, 70, 80, 1, , , , 0" % (p + rng.choice([0, 20]))]
    return True


def r_stazioni_vicine(rng, sc):  # 22
    st = sc.treno["[stazioni]"]
    p = min(sc.L, sc.U * 50 - 900) // 50 * 50
    st += ["stazione, %d, 12, 400, 0,0,0, 1,1,0, 4,1,1, 0, 9,0,0, Prima" % (p - 600),
           "stazione, %d, 12, 400, 0,0,0, 1,1,0, 4,1,1, 0, 9,0,0, Seconda" % p]
    return True


def r_fuori_griglia(rng, sc):  # 23
    scelta = rng.randrange(4)
    if scelta == 0:
        sc.treno["[segnali]"].insert(0, segnale(rng.choice([-150, -200, -1000])))
    elif scelta == 1:
        sc.treno["[rallentamenti]"].insert(0, "rallentamento, %d, 60, 100, 0, 0, 0" % rng.choice([-50, -1]))
    elif scelta == 2:
        sc.treno["[codici]"].insert(0, "abbattimento, %d, 1" % rng.choice([-100, -76]))
    else:
        p = (sc.U * 50 - 800) // 50 * 50
        sc.treno["[stazioni]"].append("stazione, %d, 7, 2000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, Lontana" % p)
    return True


def r_fermata_in_testa(rng, sc):  # 24
    sc.treno["[stazioni]"].insert(0, "stazione, 0, %d, %d, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, Testa"
                                  % (rng.choice([2, 12, 1]), rng.choice([0, 100])))
    return True


def r_errore_esecuzione(rng, sc):  # 25
    scelta = rng.randrange(6)
    if scelta == 0:
        sc.linea["[pendenze]"].append("pendenza, 12a, 3")
    elif scelta == 1:
        sc.testata_linea = [r for r in sc.testata_linea if "lunghezza" not in r]
    elif scelta == 2:
        sc.treno["[vel_limite]"].append("velocita, %d, %d" % (sc.L // 2 // 50 * 50, rng.choice([1300, -20, 5000])))
    elif scelta == 3:
        sc.treno["[segnali]"].append("segnale, 99999999999, 1, 1")
    elif scelta == 4:
        sc.testata_treno.append("orologio, 40000, 0, 0")
    else:
        sc.linea["[cartelli]"].append("indicatori_vmax, %d, 2000, 100, 100, 0, , , , 0" % (sc.L // 3 // 50 * 50))
    return True


def r_curva_senza_classe(rng, sc):  # 103
    sc.linea["[curve]"].append("%s, %d, 300" % (rng.choice(["curvas", "curvad", "curva d0", "CURVAS9"]), sc.L // 2))
    return True


def r_troppe_gallerie(rng, sc):  # 104
    passo = max(1, (sc.L - 100) // 82 // 50) * 50
    sc.linea["[montagne]"] = ["montagna, %d, %d, %d" % (k * passo, k * passo + passo // 2, rng.choice([1, 11]))
                              for k in range(81 + rng.randint(0, 2))]
    return True


def r_troppi_cartelli(rng, sc):  # 105
    cart = cartelli_liberi(rng, sc, 81 - sc.cartelli)
    if cart is None:
        return False
    sc.linea["[indicazioni]"] += cart
    return True


def r_codice_gara(quale):  # 1250, 1251
    def ricetta(rng, sc):
        scelta = rng.randrange(3)
        if quale == 1250:
            rec = [segnale(0, s1=rng.randint(1, 6)), "abbattimento, 50, 77",
                   "rallentamento, 0, 60, 100, 0, 0, 0"][scelta]
        else:
            rec = [segnale(0, s1=0, d1=0, s2=rng.randint(1, 6)), "rallentamento, 0, 0, 100, 0, 0, 40",
                   segnale(0, s1=0, d1=0, d2=1)][scelta]
        sezione = "[codici]" if rec.startswith("abb") else "[segnali]"
        sc.treno[sezione].insert(0, rec)
        return True
    return ricetta


def r_piano_oltre_limite(rng, sc):  # 103 past 1,000,000 m
    sc.linea["[curve]"].append("curvas%d, %d, %d" % (rng.randint(1, 6), sc.L - 2000, 8000))
    return True


def r_fine_morbida_poi_segnale(rng, sc):  # 15 in the line, then a signal stops the train
    sc.linea["[pendenze]"].append("pendenza, %d, 1" % (sc.U * 50 + 1000))
    if not sc.treno["[segnali]"]:
        sc.treno["[segnali]"].append(segnale(2000))
    return True


# (name, recipe, line length or None for random)
RICETTE = [
    ("1", r_lunghezza_eccessiva, None), ("2", r_progressive, None), ("3", r_ripetizione_inizio, None),
    ("4", r_ripetizione_fine, None), ("5", r_ripetizione_codici, None), ("6", r_cartello_occupato, None),
    ("7", r_abbattimento_occupato, None), ("8", r_stazione_non_multipla, None),
    ("9", r_stazione_lunghezza, None), ("10", r_troppe_stazioni, 60000),
    ("11", r_codice_prima_di_avviso, None), ("12", r_codice_prima_di_inizio, None),
    ("13", r_codice_lungo, None), ("15-linea", r_oltre_linea, None), ("15-treno", r_oltre_treno, None),
    ("15-poi-segnale", r_fine_morbida_poi_segnale, None),
    ("16", r_segnale_doppio, None), ("17", r_rallentamento_occupato("avviso"), None),
    ("18", r_rallentamento_occupato("inizio"), None), ("19", r_rallentamento_occupato("fine"), None),
    ("20", r_rallentamento_occupato("prima"), None), ("21", r_indicatori_occupato, None),
    ("22", r_stazioni_vicine, None), ("23", r_fuori_griglia, None), ("24", r_fermata_in_testa, None),
    ("25", r_errore_esecuzione, None), ("103", r_curva_senza_classe, None),
    ("103-piano", r_piano_oltre_limite, KM_MAX), ("104", r_troppe_gallerie, None),
    ("105", r_troppi_cartelli, 60000), ("1250", r_codice_gara(1250), None), ("1251", r_codice_gara(1251), None),
]


# ---------------------------------------------------------------------------
# Mutations of finished sources (text, one character a byte)

VALORI_LIMITE = ["0", "-1", "1", "-50", "49", "50", "51", "75", "99", "100", "150", "-7000", "-7001",
                 "2147483647", "-2147483648", "2147483648", "-2147483649", "99999999999",
                 "123456789012345678901234567890", "", " ", "abc", "1.5", "1e3", "+", "-", "+50",
                 "0x10", "12 34", '"5"', "32767", "32768", "-32768", "-32769", "255", "256", "1277",
                 "1280", "1000000", "1000001", "993000", "5\x00"]
CHIAVI = ["pendenza", "curvas3", "curvad7", "montagna", "indicatori_vmax", "cartello_indicatore",
          "velocita", "aderenza", "orologio", "sabbia", "segnale", "rallentamento", "abbattimento",
          "stazione", "numero vetture", "percentuale massa frenata", "[generale]", "lunghezza percorso",
          "progressiva chilometrica due", "sfondo tre", "ripetizione segnali 9 codici", "[fine]", "-", "[x]"]


def valore_limite(rng, L):
    r = rng.random()
    if r < 0.45:
        return rng.choice(VALORI_LIMITE)
    if r < 0.75:
        base = L + CODA
        return str(base + rng.choice([-1000, -900, -850, -800, -751, -200, -150, -101, -100, -99,
                                      -50, -1, 0, 1, 50, 100, 1000]))
    if r < 0.9:
        return str(rng.randrange(-10, 2000) * 50)
    return str(rng.randrange(-100000, 1200000))


def parola_storpiata(rng, w):
    if not w:
        return rng.choice(CHIAVI)
    r = rng.random()
    i = rng.randrange(len(w))
    if r < 0.2:
        return w.upper()
    if r < 0.3:
        return w.capitalize()
    if r < 0.45:
        return w[:i] + w[i + 1:]
    if r < 0.6 and len(w) > 1:
        i = min(i, len(w) - 2)
        return w[:i] + w[i + 1] + w[i] + w[i + 2:]
    if r < 0.7:
        return w[:i] + rng.choice(string.ascii_letters + "-[]_ 0123456789") + w[i:]
    if r < 0.8:
        return "-" + w
    if r < 0.9:
        return rng.choice(CHIAVI)
    return w + rng.choice(["1", "4", "9", "s", "d", " 3", "[", "]"])


def muta_campo(rng, righe, L):
    candidate = [i for i, r in enumerate(righe) if "," in r]
    if not candidate:
        return
    i = rng.choice(candidate)
    f = righe[i].split(",")
    j = rng.randrange(len(f))
    if j == 0:
        f[0] = parola_storpiata(rng, f[0])
    else:
        f[j] = " " + valore_limite(rng, L)
    righe[i] = ",".join(f)


def muta(rng, righe, L):
    """One random change of the list of lines."""
    if not righe:
        righe.append(rng.choice(CHIAVI))
        return
    n = len(righe)
    r = rng.random()
    i = rng.randrange(n)
    if r < 0.12:
        del righe[i]
    elif r < 0.22:
        righe.insert(i, righe[i])
    elif r < 0.30:
        j = rng.randrange(n)
        righe[i], righe[j] = righe[j], righe[i]
    elif r < 0.38:
        riga = righe.pop(i)
        righe.insert(rng.randrange(n), riga)
    elif r < 0.70:
        muta_campo(rng, righe, L)
    elif r < 0.78:
        righe[i:i] = [rng.choice(["- nota -", "-", " -- commento --", "-----", "- [sezione] -"])] * rng.choice(
            [1, 2, 3, 10, 11, 12])
    elif r < 0.82:
        righe.insert(i, rng.choice(["", " ", "\t", ",", ",,,"]))
    elif r < 0.86:
        k = rng.choice([i for i in range(n) if righe[i].strip().lower().startswith("[generale]")] or [i])
        righe[k] = rng.choice(["", "[generali]", "generale", "[GENERALE]", "[ generale ]", "- [generale]"])
    elif r < 0.90:
        righe[i] = righe[i] + rng.choice(["\x00", "\xe0", '"', ', "aperta', "\t", ", 1, 2, 3", "\x1a"])
    elif r < 0.95:
        del righe[i:]
        if righe and rng.random() < 0.5:
            righe[-1] = righe[-1][:rng.randrange(len(righe[-1]) + 1)]
    else:
        j = rng.randrange(n)
        righe.insert(j, rng.choice(righe))


def a_byte(righe, rng, fine_riga=None):
    """The lines as bytes. Without `fine_riga`, line ends of any kind, and
    now and then no final line end or a file cut short."""
    if fine_riga:
        return "".join(r + fine_riga for r in righe).encode("latin-1")
    fine_riga = rng.choice(["\r\n"] * 8 + ["\n", "\r", "misto"])
    if fine_riga == "misto":
        out = "".join(r + rng.choice(["\r\n", "\n", "\r"]) for r in righe)
    else:
        out = "".join(r + fine_riga for r in righe)
    if rng.random() < 0.08:
        out = out.rstrip("\r\n")
    if rng.random() < 0.04:
        out = out[:rng.randrange(len(out) + 1)]
    return out.encode("latin-1")


def righe_di(testo):
    return testo.decode("latin-1").replace("\r\n", "\n").replace("\r", "\n").split("\n")


# ---------------------------------------------------------------------------
# Cases


class Casi:
    def __init__(self, cartella):
        self.cartella = cartella
        self.elenco = []

    def aggiungi(self, origine, linea, treno, nome_l, codice, nomi_file="regola", manca=None):
        """linea / treno: bytes. nomi_file: "regola" (NAME_linea.txt, NAME_CODE-.txt),
        "opzioni" (other file names, names given as options) or "entrambi"."""
        nome = "%04d-%s" % (len(self.elenco) + 1, origine)
        cartella = os.path.join(self.cartella, nome)
        os.makedirs(cartella)
        argomenti = []
        if nomi_file == "regola":
            fl, ft = nome_l + "_linea.txt", nome_l + "_" + codice + "-.txt"
        else:
            fl, ft = "linea.txt", "treno.src"
            argomenti = ["--line-name", nome_l, "--train-code", codice]
            if nomi_file == "entrambi":
                fl, ft = nome_l + "_linea.txt", nome_l + "_" + codice + "-.txt"
        for f, byte, chi in ((fl, linea, "linea"), (ft, treno, "treno")):
            if manca != chi:
                with open(os.path.join(cartella, f), "wb") as out:
                    out.write(byte)
        self.elenco.append({"nome": nome, "linea": fl, "treno": ft, "argomenti": argomenti,
                            "origine": origine})

    def scrivi_elenco(self):
        with open(os.path.join(self.cartella, "cases.json"), "w") as out:
            json.dump(self.elenco, out, indent=1)


def nomi(rng):
    return nome_linea(rng), codice_treno(rng), rng.choice(["regola"] * 8 + ["opzioni", "entrambi"])


def caso_ricetta(rng, casi, nome, ricetta, L):
    for _ in range(10):
        sc = genera_scena(rng, L)
        if ricetta(rng, sc):
            break
    nl, ct, nf = nomi(rng)
    casi.aggiungi("ricetta-" + nome, a_byte(sc.righe_linea(), rng, "\r\n"), a_byte(sc.righe_treno(), rng, "\r\n"),
                  nl, ct, nf)


def caso_mutato(rng, casi, origine, linea, treno, L):
    rl, rt = righe_di(linea), righe_di(treno)
    if rl and rl[-1] == "":
        rl.pop()
    if rt and rt[-1] == "":
        rt.pop()
    chi = rng.choice(["linea", "treno", "entrambe"])
    for _ in range(rng.choice([1, 1, 1, 2, 2, 3, 4])):
        if chi in ("linea", "entrambe"):
            muta(rng, rl, L)
        if chi in ("treno", "entrambe"):
            muta(rng, rt, L)
    nl, ct, nf = nomi(rng)
    casi.aggiungi(origine, a_byte(rl, rng), a_byte(rt, rng), nl, ct, nf)


def genera(cartella, seme, quanti, cartella_builtin):
    rng = random.Random(seme)
    casi = Casi(cartella)
    builtin = None
    if cartella_builtin:
        with open(os.path.join(cartella_builtin, "LIVRA_MONTALBA_linea.txt"), "rb") as f:
            bl = f.read()
        with open(os.path.join(cartella_builtin, "LIVRA_MONTALBA_R47316-.txt"), "rb") as f:
            bt = f.read()
        builtin = (bl, bt)
        casi.aggiungi("builtin", bl, bt, "LIVRA_MONTALBA", "R47316")
        casi.aggiungi("builtin-opzioni", bl, bt, "LIVRA_MONTALBA", "R47316", "opzioni")
        casi.aggiungi("builtin-altri-nomi", bl, bt, "VALLE_ALTA", "IC600")
        casi.aggiungi("builtin-manca-linea", bl, bt, "LIVRA_MONTALBA", "R47316", manca="linea")   # 101
        casi.aggiungi("builtin-manca-treno", bl, bt, "LIVRA_MONTALBA", "R47316", manca="treno")   # 25
        casi.aggiungi("builtin-senza-generale", bl.replace(b"[generale]", b"[generali]"), bt,
                      "LIVRA_MONTALBA", "R47316")                                                  # 102
        casi.aggiungi("builtin-vuota", b"", bt, "LIVRA_MONTALBA", "R47316")                          # 102
        casi.aggiungi("builtin-codice-linea", bl, bt, "LIVRA_MONTALBA", "linea")   # a usage error for the commands
        casi.aggiungi("builtin-solo-cr", bl.replace(b"\r\n", b"\r"), bt.replace(b"\r\n", b"\r"),
                      "LIVRA_MONTALBA", "R47316")
        casi.aggiungi("builtin-solo-lf", bl.replace(b"\r\n", b"\n"), bt.replace(b"\r\n", b"\n"),
                      "LIVRA_MONTALBA", "R47316")
    for nome, ricetta, L in RICETTE:
        caso_ricetta(rng, casi, nome, ricetta, L)

    while len(casi.elenco) < quanti:
        r = rng.random()
        if r < 0.30:
            sc = genera_scena(rng)
            nl, ct, nf = nomi(rng)
            casi.aggiungi("generato", a_byte(sc.righe_linea(), rng), a_byte(sc.righe_treno(), rng), nl, ct, nf)
        elif r < 0.62:
            sc = genera_scena(rng)
            caso_mutato(rng, casi, "generato-mutato", a_byte(sc.righe_linea(), rng, "\r\n"),
                        a_byte(sc.righe_treno(), rng, "\r\n"), sc.L)
        elif r < 0.85 and builtin:
            caso_mutato(rng, casi, "builtin-mutato", builtin[0], builtin[1], 89000)
        elif r < 0.97:
            nome, ricetta, L = rng.choice(RICETTE)
            caso_ricetta(rng, casi, nome, ricetta, L)
        else:
            sc = genera_scena(rng)
            nl, ct, nf = nomi(rng)
            manca = rng.choice(["linea", "treno"])
            casi.aggiungi("generato-manca-" + manca, a_byte(sc.righe_linea(), rng), a_byte(sc.righe_treno(), rng),
                          nl, ct, nf, manca=manca)
    casi.scrivi_elenco()
    return casi.elenco


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("--out", required=True, help="the folder to create the cases in (must not exist)")
    a.add_argument("--seed", type=int, default=1)
    a.add_argument("--count", type=int, default=300)
    a.add_argument("--builtin", help="the folder `genera_scenario sources` wrote")
    o = a.parse_args()
    os.makedirs(o.out)
    elenco = genera(o.out, o.seed, o.count, o.builtin)
    print("%d cases in %s" % (len(elenco), o.out))


if __name__ == "__main__":
    main()
