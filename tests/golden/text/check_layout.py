#!/usr/bin/env python3
"""Checks the five text goldens beside this script against the documents'
layout rules: line counts, CR LF, 7-bit ASCII, table widths, the lines whose
exact text is fixed, and the names that must agree between the files.
Run: python3 check_layout.py  (prints "all good" or the failures)."""
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def lines_of(name):
    data = open(os.path.join(HERE, name), 'rb').read()
    check(data.endswith(b'\r\n'), f'{name}: does not end with CR LF')
    check(all(b < 128 for b in data), f'{name}: not 7-bit ASCII')
    check(b'\n' not in data.replace(b'\r\n', b''), f'{name}: bare LF')
    check(b'\r' not in data.replace(b'\r\n', b''), f'{name}: bare CR')
    check(b'riferimento fine del file' not in data.lower(), f'{name}: holds the sentinel')
    check(not data.startswith(b'\xef\xbb\xbf'), f'{name}: byte order mark')
    return data.decode('ascii').split('\r\n')[:-1]


# ---------------------------------------------------------------- line source
L = lines_of('LIVRA_MONTALBA_linea.txt')
check(len(L) == 80, f'line source: {len(L)} lines, not 80')
headers = [(i + 1, x) for i, x in enumerate(L) if x.startswith('[')]
check(headers == [(1, '[generale]'), (10, '[curve]'), (32, '[pendenze]'), (46, '[montagne]'),
                  (56, '[cartelli]'), (69, '[indicazioni]'), (80, '[fine]')],
      f'line source headers: {headers}')
check(L[1:9] == ['lunghezza percorso,    89000',
                 'progressiva chilometrica uno,    1000,    0,    0',
                 'progressiva chilometrica due,    0,    0,    0',
                 'progressiva chilometrica tre,    0,    0,    0',
                 'sfondo uno,    1', 'sfondo due,    60000', 'sfondo tre,    80000',
                 'ripetizione segnali 9 codici,    1000,    89500'], 'line source general lines')
check(all(re.fullmatch(r'curva[sd][1-6],  \d+,  \d+', x) for x in L[10:31]), 'curve records')
check('curvas6,  750,  250' == L[10] and 'curvad1,  86950,  1150' == L[30], 'first/last curve')
check(L[32] == 'pendenza,   0,    0', f'first gradient line {L[32]!r}')
check(all(re.fullmatch(r'pendenza,  \d+,   \d+', x) for x in L[33:45]), 'gradient records')
check(L[33] == 'pendenza,  1250,   7' and L[44] == 'pendenza,  79250,   0', 'gradients 2, 13')
check(all(re.fullmatch(r'montagna,   \d+,  \d+,  \d+', x) for x in L[46:55]), 'tunnel records')
check(L[46] == 'montagna,   30300,  30600,  2' and L[54] == 'montagna,   88250,  89250,  11',
      'tunnels 1, 9')
check(all(re.fullmatch(r'indicatori_vmax,  \d+,  \d+,  \d+,  \d+,  [012],  ,  ,  ,  0', x)
          for x in L[56:68]), 'speed boards')
check(L[58] == 'indicatori_vmax,  57000,  130,  135,  140,  2,  ,  ,  ,  0', 'board 57000')
widths = {30150: (2, 11), 35900: (2, 12), 41700: (2, 8), 45650: (3, 11), 47150: (1, 4),
          56800: (3, 10), 64000: (2, 10), 70900: (3, 12), 80800: (3, 10), 88150: (2, 8)}
boards = {}
for x in L[69:79]:
    m = re.fullmatch(r'cartello_indicatore,  (\d+),   ((?:\([^()]*\))+)', x)
    check(m is not None, f'indicator board {x!r}')
    if m:
        parts = re.findall(r'\(([^()]*)\)', m.group(2))
        boards[int(m.group(1))] = parts
        n, w = widths.get(int(m.group(1)), (0, 0))
        check(len(parts) == n and all(len(p) == w for p in parts), f'board widths {x!r}')
        check(max(len(p.rstrip()) for p in parts) == w, f'board padded beyond its text {x!r}')
check(list(boards) == list(widths), f'board positions {list(boards)}')
check(L[78] == 'cartello_indicatore,  88150,   (Galleria)(Montalba)', 'last board')
check(boards.get(35900, [''])[0] == 'Galleria    ', '(Galleria    ) on the 12-wide board')
for pos in (30150, 35900, 41700, 45650, 70900, 80800):
    check(boards.get(pos, [''])[0] == 'Galleria'.ljust(widths[pos][1]), f'first line at {pos}')
for pos in (56800, 64000):
    check(boards.get(pos, [''])[0] == 'GALLERIA'.ljust(widths[pos][1]), f'first line at {pos}')
check(boards.get(56800, ['', ''])[1].rstrip().endswith(' e'), 'two-part name at 56800')
check([b[2] for p, b in boards.items() if len(b) == 3 and p != 56800] ==
      ['9200 mt.   ', '8067 mt.    ', '6934 mt.  '], 'tunnel lengths on boards')

# --------------------------------------------------------------- train source
T = lines_of('LIVRA_MONTALBA_R47316-.txt')
check(len(T) == 75, f'train source: {len(T)} lines, not 75')
headers = [(i + 1, x) for i, x in enumerate(T) if x.startswith('[')]
check(headers == [(1, '[generale]'), (6, '[aderenze]'), (10, '[vel_limite]'), (18, '[stazioni]'),
                  (33, '[rallentamenti]'), (35, '[segnali]'), (74, '[codici]'), (75, '[fine]')],
      f'train source headers: {headers}')
clock = 'orologio,    8               49            0 '
check(T[1:5] == ['numero vetture,    8', 'percentuale massa frenata,    125', 'sabbia,    300',
                 clock], 'train general lines')
check(len(T[4]) == 45 and T[4].count(',') == 1, 'clock line')
check(T[6] == 'aderenza,       0,    90' and T[14] == 'velocita,   61600,    75', 'profiles')
check(all(re.fullmatch(r'aderenza,[ \d]{8},[ \d]{6}', x) for x in T[6:9]), 'adhesion widths')
check(all(re.fullmatch(r'velocita,[ \d]{8},[ \d]{6}', x) for x in T[10:17]), 'speed widths')
station_re = (r'stazione,[ \d]{8},[ \d]{3},[ \d]{5},[ \d]{3},[ \d]{2},[ \d]{2},[ \d]{3},\d,\d,'
              r'[ \d]{3},\d,\d,[ \d]{5},[ \d]{4},[ \d]{2},[ \d]{2}, (\S.*\S|\S)')
stations = []
for x in T[18:32]:
    m = re.fullmatch(station_re, x)
    check(m is not None, f'station record {x!r}')
    stations.append(m.group(1) if m else '')
check(T[18] == 'stazione,       0,  2,  900,  0, 1, 0,  1,1,0,  4,1,1,    1,   8,50, 0, LIVRA',
      'first station')
check(T[33] == 'rallentamento,   42850,    60,  200, 0,  1,  50', 'slowdown record')
signal_re = (r'segnale,[ \d]{8},[ \d]{4},[ \d]{2},[ \d]{2},[ \d]{3},[ \d]{2},[ \d]{5},[ \d]{3},'
             r'\d,\d, \d+')
check(all(re.fullmatch(signal_re, x) for x in T[35:73]), 'signal widths')
check([x for x in T[35:73] if not x.endswith(', 0')] ==
      ['segnale,    9200,   2, 4, 0,  0, 0,    2,  2,0,0, 215'], 'only 9200 has a time')
check('segnale,    8200,   2, 3, 1,  0, 0,    2,  2,1,0, 0' in T, 'signal at 8200')
for block in (T[6:9], T[10:17], T[18:32], T[35:73]):
    pos = [int(x.split(',')[1]) for x in block]
    check(pos == sorted(pos) and all(p % 50 == 0 for p in pos), f'positions of {block[0]!r}')

# ------------------------------------------------------------ both sources
words = ['generale', 'lunghezza', 'percorso', 'progressiva', 'sfondo', 'ripetizione', 'pendenza',
         'curva', 'montagna', 'indicat', 'cartello', 'frenata', 'massa', 'vetture', 'velocit',
         'aderenza', 'orologio', 'sabbia', 'segnale', 'rallentamento', 'abbattimento', 'stazione']
for name in stations + [t for b in boards.values() for t in b]:
    check(not any(w in name.lower() for w in words), f'keyword inside name {name!r}')
    check(not any(c in name for c in ',-[]'), f'forbidden character in {name!r}')
check(all('-' not in x for x in L + T), 'hyphen in a source')
check(stations[0] == 'LIVRA' and len(stations) == 14, 'station count')
check(stations[9] == boards.get(47150, [''])[0] and stations[9].isupper() and len(stations[9]) == 4,
      'station 10 on the board at 47150')
check(len(stations[13].split()) == 2 and stations[13].split()[0] == boards[88150][1].strip(),
      'second terminal named after the last board')

# ------------------------------------------------------------------- notes
N = lines_of('LIVRA_MONTALBA_R47316_note.txt')
check(len(N) == 5, 'notes: 5 lines')
check(N[0].startswith("LA LINEA PRESENTA LE STESSE DIFFICOLTA' DEL ") and N[0] == N[0].upper()
      and len(N[0]) > 44, 'notes line 1')
check(N[1:4] == ["IL 47316 E' UN REGIONALE CON L'ORARIO MOLTO LARGo",
                 "PER QUESTO L'HO MOVIMENTATO UN PO'", 'BUON DIVERTIMENTO'], 'notes lines 2 to 4')
check(re.fullmatch(r'[a-z0-9.]+@[a-z0-9.]*example\.org', N[4]) is not None, 'contact address')

# -------------------------------------------------------------- order form
R = lines_of('LIVRA_MONTALBA_R47316_rallentamenti.txt')
check(len(R) == 46, f'order form: {len(R)} lines')
check(all(len(x) <= 82 for x in R), 'order form wider than 82')
fixed = {1: '', 2: ' ' * 31 + 'Modulo M. 3', 3: ' ' * 27 + 'ORDINE DI RALLENTAMENTO',
         4: ' ' + '_' * 80, 5: '  Linea  LIVRA MONTALBA', 6: '',
         7: '  Si ordina al macchinista del treno 47316 di effettuare i seguenti rallentamenti',
         8: '  ' + '_' * 79, 40: '', 41: ' ' * 14 + 'Prescrizioni specifiche',
         42: ' A - Da rispettare con tutto il treno (per i treni viaggiatori)',
         43: ' B - Interessa anche la stazione di.......',
         44: ' D - Rallentamneto N. ... e N. ...  sono contigui',
         45: ' C - Da rispettare dalle ore ....  alle ore ..... di tutti',
         46: '     i giorni esclusi i seguenti:.........'}
for n, text in fixed.items():
    check(R[n - 1] == text, f'order form line {n}: {R[n - 1]!r}')
for n in range(9, 40):
    x = R[n - 1]
    check(len(x) == 82 and x.startswith(' |') and
          [len(c) for c in x[2:].split('|')] == [3, 28, 12, 10, 9, 12, 0], f'order row {n} {x!r}')
empty = ' |' + '|'.join(' ' * w for w in (3, 28, 12, 10, 9, 12)) + '|'
rule = ' |' + '|'.join('_' * w for w in (3, 28, 12, 10, 9, 12)) + '|'
check(R[12] == empty and all(R[n - 1] == empty for n in range(16, 39)), 'order empty rows')
check(R[11] == rule and R[38] == rule, 'order form rules')
cells = R[13][2:].split('|')
check(cells[0] == '  1' and cells[1] == (' ' + stations[8] + ' e ' + stations[9]).ljust(28) and
      cells[2] == ' 42+850     ' and cells[3] == '    50    ' and cells[4] == ' 100     ' and
      cells[5] == ' ' * 12, f'order form entry {R[13]!r}')
cells = R[14][2:].split('|')
check(cells[1] == ('  Galleria  ' + boards[41700][1].strip()).ljust(28) and
      all(c.strip() == '' for i, c in enumerate(cells) if i != 1), f'order form line 15 {R[14]!r}')
check([x[1] for x in R[41:45]] == ['A', 'B', 'D', 'C'], 'legend order')

# ----------------------------------------------------------------- the card
C = lines_of('LIVRA_MONTALBA_R47316_scheda_treno.txt')
check(len(C) == 50 and C[0] == '' and C[1] == '' and C[49] == '', 'card: 50 lines, blank 1 2 50')
check(all(len(x) <= 83 for x in C), 'card wider than 83')
check(C[2] == '  ' + '_' * 19 + ' ' * 47 + '_' * 14 and len(C[2]) == 82, 'card line 3')
check(len(C[3]) == 83 and C[3].split('|')[2].strip() == 'SCHEDA', 'card line 4')
check(len(C[4]) == 83 and C[4].index('da: ') + 4 == 45 and C[4][45:50] == 'LIVRA', 'card line 5')
check(len(C[5]) == 83 and C[5].index('a: ') + 3 == 45 and C[5].endswith('|     125%     |') and
      C[5].startswith(' |___________________|' + ' ' * 20 + 'a: '), 'card line 6')
arrival = C[5][45:67].rstrip()
check(arrival.startswith('MONTALBA'), 'arrival name')
check(C[6] == ' ' * 67 + '|______________|', 'card line 7')
check(len(C[8]) == 64 and C[8].endswith('|' + ' ' * 7), 'card line 9 trailing blanks')
check(C[12] == '  ' + '_' * 80, 'card line 13')
for n in list(range(14, 50)):
    x = C[n - 1]
    check(len(x) == 83 and [len(c) for c in x[2:].split('|')] == [5, 5, 10, 5, 28, 16, 5, 0],
          f'card row {n} {x!r}')
check(C[16] == ' | 95  | 80  |  0+00    |     |  LIVRA                     |         08.35  |     |',
      'card line 17')
check(C[22] == ' |160  |     | 18+700   |     |  Cartello Indicatore       |                |     |',
      'card line 23')
check(C[31] == ' |160  |  80 | 64+208   |     |  Imbocco Galleria          |     09.30      | 1   |',
      'card line 32')
card_places = [C[n - 1][2:].split('|')[4].strip() for n in range(17, 37)]
rows = [19, 20, 21, 22, 24, 25, 26, 27, 28, 31, 33, 34, 36]
check([card_places[n - 17] for n in rows] == stations[1:], 'card stations follow the train source')
check(all(C[n - 1][2:].split('|')[4].startswith('  ') for n in range(17, 37)), 'place indent')
empty = ' |' + '|'.join(' ' * w for w in (5, 5, 10, 5, 28, 16, 5)) + '|'
check(all(C[n - 1] == empty for n in range(37, 49)), 'card empty rows')
rule = ' |' + '|'.join('_' * w for w in (5, 5, 10, 5, 28, 16, 5)) + '|'
check(C[15] == rule and C[48] == rule, 'card rules')
times = re.compile(r' {9}\d\d\.\d\d  | {5}\d\d\.\d\d {6}| \d\d\.\d\d {3}\d\d\.\d\d  | {16}')
check(all(times.fullmatch(C[n - 1][2:].split('|')[5]) for n in range(17, 37)), 'time slots')

if failures:
    print('\n'.join(failures))
    sys.exit(1)
print('all good')
