// What a thing is, in words: the tooltips and the source panel's headings.

function source_of(id) {
  const r = model.record.get(id);
  if (!r) return null;
  const s = model.sorgenti[r.sorgente];
  return {file: s.nome, riga: r.riga, sorgente: r.sorgente, chiave: r.chiave, posizione: r.posizione};
}

/// "segnale at 2,800 m — FILE, line 47".
function record_words(id) {
  const s = source_of(id);
  if (!s) return 'no record: the value every cell holds before the first record';
  return (s.chiave || 'record') + ' at ' + metres(s.posizione) + ' \u2014 ' + s.file + ', line ' + s.riga;
}

function is_slowdown_record(id) {
  const s = source_of(id);
  return s && /rallentamento/i.test(s.chiave);
}

/// The record's fields as its author wrote them: "sx 2 · s1 3 · ...",
/// leaving out those in `skip` (the position, said elsewhere).
function author_words(id, skip) {
  const r = model.record.get(id);
  if (!r || !r.campi.length) return '';
  const leave = skip || ['posizione', 'x', 'inizio'];
  return r.campi.filter((c) => !leave.includes(c[0]) && c[2] !== '')
    .map((c) => c[0] + ' ' + c[2] + (c[1] ? ' ' + c[1] : '')).join(' \u00b7 ');
}

/// The author's fields when the record has them, else the stored values.
function fields_or_values(o) {
  return author_words(o.rec) || stored_values(o);
}

function stored_values(o) {
  return 'valore1 ' + o.v[0] + ' \u00b7 valore2 ' + o.v[1] + ' \u00b7 valore3 ' + o.v[2] +
    ' \u00b7 valore4 ' + o.v[3];
}

function cell_words(o) { return 'cell ' + o.cella + ', ' + at(o.m); }

function speeds_of_board(v) {
  // Each value packs a speed s (times 20) and a speed d (fifths).
  const s = Math.floor(v / 20), d = Math.round((v - s * 20) * 5);
  return [s, d];
}

function describe_object(o) {
  const cell = cell_words(o);
  switch (o.tipo) {
    case 1: {
      const codes = model.codici.filter((c) => c.cella >= o.cella - 2 && c.cella < o.cella);
      const lines = [fields_or_values(o)];
      if (codes.length) lines.push('code cell in front: ' + codes.map((c) => 'cell ' + c.cella).join(', '));
      return {what: 'Signal', where: cell, values: lines, origin: 'made by ' + record_words(o.rec), rec: o.rec};
    }
    case 12:
    case 13: {
      const what = o.tipo === 12 ? 'Code cell, code ' + o.v[0] : 'Code cut';
      const origin = is_slowdown_record(o.rec)
        ? 'added by the post-pass for the slowdown ' + slowdown_words(o.rec)
        : 'made by ' + record_words(o.rec);
      return {what: what, where: cell, values: [stored_values(o)], origin: origin, rec: o.rec};
    }
    case 6: {
      const groups = [0, 1, 2].map((i) => speeds_of_board(o.v[i]));
      const s = groups.map((g) => g[0]), d = groups.map((g) => g[1]);
      const lines = ['speeds s: A ' + s[0] + ', B ' + s[1] + ', C ' + s[2] + ' km/h' +
        (d.some((x) => x) ? ' \u00b7 d: A ' + d[0] + ', B ' + d[1] + ', C ' + d[2] + ' km/h' : ''),
      'stripes s ' + Math.floor(o.v[3] / 10) + ', d ' + (o.v[3] % 10), author_words(o.rec)];
      return {what: 'Speed-indicator board', where: cell, values: lines, origin: 'made by ' + record_words(o.rec), rec: o.rec};
    }
    case 14:
      return {what: 'Indicator board', where: cell,
        values: ['text \u201c' + o.testo + '\u201d (table entry ' + o.v[0] + ')'],
        origin: 'made by ' + record_words(o.rec), rec: o.rec};
    case 10: {
      const st = model.stazioni.find((s) => s.voce === o.v[0]);
      return {what: 'Stop cell of ' + (st ? st.nome : 'station entry ' + o.v[0]), where: cell,
        values: ['the last cell of the station\u2019s area, table entry ' + o.v[0], author_words(o.rec, ['posizione', 'nome'])],
        origin: 'made by ' + record_words(o.rec), rec: o.rec};
    }
    case 11:
      return {what: 'Lit-tunnel marker', where: cell, values: ['one every fourth cell of a lit tunnel'],
        origin: 'made by ' + record_words(o.rec), rec: o.rec};
    case 2: case 3: case 4: case 5: {
      const names = {2: 'Slowdown end', 3: 'Slowdown start', 4: 'Slowdown warning board',
        5: 'Cell before a slowdown warning board (' + o.v[0] + ' of 4)'};
      const lines = [fields_or_values(o)];
      if (o.tipo !== 5) lines.unshift('speed ' + o.v[0] + ' km/h');
      return {what: names[o.tipo], where: cell, values: lines,
        origin: 'made by ' + record_words(o.rec), rec: o.rec};
    }
    default:
      return {what: 'Cell of kind ' + o.tipo, where: cell, values: [stored_values(o)],
        origin: 'made by ' + record_words(o.rec), rec: o.rec};
  }
}

/// "at 42,850 m — FILE, line 34".
function slowdown_words(id) {
  const s = source_of(id);
  return 'at ' + metres(s.posizione) + ' \u2014 ' + s.file + ', line ' + s.riga;
}

function describe_slowdown(r) {
  const lines = [];
  if (r.inizio && r.fine) lines.push('from ' + at(r.from) + ' to ' + at(r.to) + ', ' + metres(r.to - r.from));
  const cells = [];
  if (r.inizio) cells.push('start cell ' + r.inizio.cella);
  if (r.fine) cells.push('end cell ' + r.fine.cella);
  if (r.avviso) cells.push('warning board cell ' + r.avviso.cella + ' (km ' + km(r.avviso.m) + ')');
  if (r.prima.length) cells.push('cells ' + r.prima.map((p) => p.cella).join(', ') + ' before the board');
  lines.push(cells.join(' \u00b7 '));
  const codes = model.codici.filter((c) => c.rec === r.rec);
  if (codes.length) lines.push(codes.length + ' code cells added by the post-pass');
  lines.push(author_words(r.rec));
  return {what: 'Slowdown to ' + r.velocita + ' km/h', where: at(r.from), values: lines,
    origin: 'made by ' + record_words(r.rec), rec: r.rec};
}

function describe_curve(c) {
  const side = c.left ? 'left' : 'right';
  return {what: 'Curve to the ' + side + (c.raggio ? ', radius about ' + metres(c.raggio) : ''),
    where: 'from ' + at(c.from) + ' to ' + at(c.to) + ', ' + metres(c.to - c.from),
    values: ['plan rows ' + c.prima + '\u2013' + c.ultima, author_words(c.rec)],
    origin: 'made by ' + record_words(c.rec), rec: c.rec};
}

function describe_tunnel(g) {
  const lines = ['from ' + at(g.from) + ' to ' + at(g.to) + ', ' + metres(g.to - g.from) +
    ' \u00b7 cells ' + g.prima + '\u2013' + g.ultima];
  lines.push('galleria value ' + g.tipo + (g.tipo === 3 ? ' (within 150 m of the tunnel before)' : ''));
  lines.push(author_words(g.rec, ['inizio']));
  return {what: g.illuminata ? 'Tunnel, lit' : 'Tunnel, not lit', where: at(g.from), values: lines,
    origin: 'made by ' + record_words(g.rec), rec: g.rec};
}

function describe_station(s) {
  const lines = ['area ' + metres(s.inizio) + ' to ' + metres(s.fine) + ' \u00b7 kind ' + s.tipo +
    ' \u00b7 table entry ' + s.voce];
  if (s.orario > 0) lines.push('scheduled ' + clock(s.orario));
  const stop = s.fermata;
  lines.push(stop ? 'stop cell ' + stop.cella + ' (km ' + km(stop.m) + ')' : 'no stop cell');
  lines.push(author_words(s.rec, ['posizione', 'nome']));
  if (s.m > model.lunghezza) lines.push('beyond the end of the line, in the grid\u2019s tail');
  return {what: 'Station ' + s.nome, where: at(s.m), values: lines,
    origin: 'made by ' + record_words(s.rec), rec: s.rec};
}

function describe_marker(a) {
  const n = a.valore >= 80 ? a.valore - 80 : a.valore % 10;
  const of_what = a.valore >= 80 ? 'the stop of a station' : 'a signal (sides ' + Math.floor(a.valore / 10) + ')';
  return {what: 'Approach marker ' + n + ' of 4 before ' + of_what, where: 'cell ' + a.cella + ', ' + at(a.m),
    values: ['avviso ' + a.valore], origin: 'made by ' + record_words(a.rec), rec: a.rec};
}

/// "error 16 (segnale_occupato)", "warning": the words the terminal prints.
function diagnostic_title(d) {
  const title = d.titolo || (d.gravita + (d.codice ? ' ' + d.codice : ''));
  return d.nome ? title + ' (' + d.nome + ')' : title;
}

function describe_diagnostic(d) {
  const place = d.file ? d.file + (d.riga ? ', line ' + d.riga : '') : 'no source';
  const lines = [d.testo];
  for (const n of d.note || []) lines.push('note: ' + n.testo + (n.file ? ' (' + n.file + (n.riga ? ', line ' + n.riga : '') + ')' : ''));
  return {what: diagnostic_title(d), where: d.posizione === null ? 'no position' : at(d.posizione),
    values: lines, origin: place, diagnostic: d};
}

/// The value profile `name` holds at `metre`; null outside its cells.
function profile_value(name, metre) {
  const runs = model.profili[name];
  const cell = Math.floor(metre / model.cell);
  if (cell < 0 || cell >= runs.end) return null;
  const i = last_at_or_before(runs.start, cell);
  return i < 0 ? null : runs.value[i];
}

const kProfileNames = {pendenza: ['Gradient', '\u2030'], velocita: ['Speed limit', 'km/h'], aderenza: ['Adhesion', '%']};

function describe_profile(name, metre, column_from, column_to) {
  const runs = model.profili[name];
  const cell = Math.floor(metre / model.cell);
  if (cell < 0 || cell >= runs.end || runs.start.length === 0) return null;
  const i = last_at_or_before(runs.start, cell);
  if (i < 0) return null;
  const first = runs.start[i], next = i + 1 < runs.start.length ? runs.start[i + 1] : runs.end;
  const [title, unit] = kProfileNames[name];
  const lines = ['from ' + at(first * model.cell) + ' to ' + at(next * model.cell) +
    ' \u00b7 cells ' + first + '\u2013' + (next - 1)];
  const c0 = Math.max(0, Math.floor(column_from / model.cell)), c1 = Math.min(runs.end, Math.ceil(column_to / model.cell));
  if (c1 - c0 > 1) {
    let lo = Infinity, hi = -Infinity;
    for (let k = Math.max(0, last_at_or_before(runs.start, c0)); k < runs.start.length && runs.start[k] < c1; k++) {
      lo = Math.min(lo, runs.value[k]);
      hi = Math.max(hi, runs.value[k]);
    }
    if (lo !== hi) lines.push('this pixel spans ' + (c1 - c0) + ' cells: ' + lo + ' to ' + hi + ' ' + unit);
  }
  const rec = runs.rec[i];
  if (rec === 0)
    return {what: title + ': not written', where: 'cell ' + cell + ', ' + at(metre),
      values: ['no record reached these cells: the reading stopped before it got here', lines[0]],
      origin: 'the grid holds 0 here, which is no value of the line'};
  let origin = 'set by ' + record_words(rec);
  if (next === runs.end && rec !== 0)
    origin = 'carried to the grid\u2019s end by the tail fill, from the last record: ' + record_words(rec);
  return {what: title + ' ' + runs.value[i] + ' ' + unit, where: 'cell ' + cell + ', ' + at(metre),
    values: lines, origin: origin, rec: rec};
}
