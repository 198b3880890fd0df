// The route viewer: the plan of the line above, the lanes and profiles along
// the line below, one distance range for both. Everything is drawn on two
// canvases from the data the page holds; only what lies in the range is
// drawn, and labels that would cover each other are left out.
'use strict';
(function () {
  const config = JSON.parse(document.getElementById('genera-config').textContent);
  const kMinSpan = 100;        // metres: the closest the view zooms
  const kLineLeft = 132;       // the line view's left margin, for lane titles and values
  const kLineRight = 16;
  const kAxisHeight = 46;
  const kPlanPad = 34;
  const kHit = 7;              // pixels within which a pointer finds a thing
  const kFont = '"DejaVu Sans", Arial, Helvetica, sans-serif';

  // The colours and the label spacing are the program's, shared with `plot`.
  const kColours = config.colori;
  const kLabelGap = config.etichette.spazio;

  // The lanes of the line view, top to bottom; each is also a layer.
  // `height` is what a lane likes, `min` the least it is drawn in; lanes
  // are sized to the room the window gives, profiles take what is left over.
  const kLanes = [
    {id: 'diagnostics', title: 'diagnostics', height: 22, min: 16},
    {id: 'stations', title: 'stations', height: 50, min: 34},
    {id: 'signals', title: 'signals, codes', height: 30, min: 26},
    {id: 'boards', title: 'boards', height: 48, min: 32},
    {id: 'tunnels', title: 'tunnels', height: 26, min: 20},
    {id: 'slowdowns', title: 'slowdowns', height: 38, min: 34},
    {id: 'gradient', title: 'gradient', unit: '\u2030', height: 96, min: 40, profile: 'pendenza', colour: 'gradient'},
    {id: 'speed', title: 'speed limit', unit: 'km/h', height: 96, min: 40, profile: 'velocita', colour: 'speed'},
    {id: 'adhesion', title: 'adhesion', unit: '%', height: 76, min: 36, profile: 'aderenza', colour: 'adhesion'},
  ];
  const kLayers = [
    {id: 'diagnostics', name: 'Diagnostics', colour: 'error', on: true},
    {id: 'stations', name: 'Stations', colour: 'station', on: true},
    {id: 'signals', name: 'Signals and code cells', colour: 'signal', on: true},
    {id: 'markers', name: 'Approach markers', colour: 'marker', on: false},
    {id: 'boards', name: 'Boards', colour: 'board', on: true},
    {id: 'tunnels', name: 'Tunnels', colour: 'tunnel', on: true},
    {id: 'slowdowns', name: 'Slowdowns', colour: 'slowdown', on: true},
    {id: 'gradient', name: 'Gradient', colour: 'gradient', on: true},
    {id: 'speed', name: 'Speed limit', colour: 'speed', on: true},
    {id: 'adhesion', name: 'Adhesion', colour: 'adhesion', on: true},
    {id: 'km_posts', name: 'Kilometre posts (plan)', colour: 'muted', on: true},
  ];
  const layer_on = {};
  for (const l of kLayers) layer_on[l.id] = l.on;

  const plan_canvas = document.getElementById('plan');
  const line_canvas = document.getElementById('line');
  const tooltip = document.getElementById('tooltip');

  let model = decode(JSON.parse(document.getElementById('genera-data').textContent));
  const range = {from: 0, to: model.extent};
  // What the last draw showed, for the pointer and for the tests.
  let line_frame = null;
  let plan_frame = null;
  let first_draw_ms = null;
  let redraw_pending = false;

  // ---- the data ----

  /// Flat runs [first cell, value, record, ...] as arrays.
  function decode_runs(flat, end) {
    const n = flat.length / 3;
    const runs = {start: new Int32Array(n), value: new Float64Array(n), rec: new Uint32Array(n), end: end};
    for (let i = 0; i < n; i++) {
      runs.start[i] = flat[3 * i];
      runs.value[i] = flat[3 * i + 1];
      runs.rec[i] = flat[3 * i + 2];
    }
    return runs;
  }

  function decode_plan(p) {
    const n = p.r.length;
    const rows = new Float64Array(n), xs = new Float64Array(n), ys = new Float64Array(n);
    let r = 0, x = 0, y = 0;
    for (let i = 0; i < n; i++) {
      r += p.r[i];
      rows[i] = r;
      if (p.x[i] === null || p.y[i] === null) {
        xs[i] = NaN;
        ys[i] = NaN;
        continue;
      }
      x += p.x[i];
      y += p.y[i];
      xs[i] = x / 100;
      ys[i] = y / 100;
    }
    return {rows: rows, xs: xs, ys: ys, tolerance: p.tolleranza};
  }

  function decode(raw) {
    const cell = raw.metri_cella || 50;
    const m = {
      linea: raw.linea, treno: raw.treno, versione: raw.versione, cell: cell,
      celle: raw.celle, lunghezza: raw.lunghezza, grid_end: raw.celle * cell,
      sorgenti: raw.sorgenti, diagnostiche: raw.diagnostiche, cartelli_testi: raw.cartelli,
      codice_errore: raw.codice_errore, stato: raw.stato || null,
    };
    m.extent = Math.max(m.grid_end, m.lunghezza, 1000);
    m.record = new Map();
    for (const [id, r] of Object.entries(raw.record))
      m.record.set(Number(id), {id: Number(id), sorgente: r[0], chiave: r[1], riga: r[2], posizione: r[3], campi: r[4] || []});
    m.tipi_cella = raw.tipi_cella;
    m.profile_end = raw.celle > 3 ? raw.celle - 3 : 0;
    m.profili = {};
    for (const name of ['pendenza', 'velocita', 'aderenza'])
      m.profili[name] = decode_runs(raw.profili[name], m.profile_end);

    // Every object stands where its cell begins, as the program computed it.
    m.oggetti = raw.oggetti.map((o) => ({
      cella: o[0], tipo: o[1], v: [o[2], o[3], o[4], o[5]], tempo: o[6], rec: o[7], m: o[8],
    }));
    const of_kind = (...kinds) => m.oggetti.filter((o) => kinds.includes(o.tipo));
    m.segnali = of_kind(1);
    m.codici = of_kind(12, 13);
    m.indicatori = of_kind(6);
    m.cartelli = of_kind(14).map((o) => Object.assign(o, {testo: board_text(raw.cartelli[String(o.v[0])])}));
    m.fermate = of_kind(10);
    m.marche = of_kind(11);
    m.cartelli_tutti = of_kind(6, 14);

    // A slowdown's cells as the program gathered them by their record.
    const by_cell = new Map(m.oggetti.map((o) => [o.cella, o]));
    const at_cell = (c) => (c >= 0 ? by_cell.get(c) || null : null);
    m.rallentamenti = raw.rallentamenti.map((r) => ({
      rec: r[0], from: r[1], to: r[2], m: r[1], velocita: r[3],
      inizio: at_cell(r[4]), fine: at_cell(r[5]), avviso: at_cell(r[6]), prima: r[7].map(at_cell).filter((o) => o),
    }));
    m.parti_rallentamento = of_kind(2, 3, 4, 5);

    m.gallerie = raw.gallerie.map((g) => ({
      prima: g[0], ultima: g[1], tipo: g[2], illuminata: g[3] === 1, rec: g[4],
      from: g[5], to: g[6], m: g[5],
    }));
    m.avvisi = raw.avvisi.map((a) => ({cella: a[0], valore: a[1], rec: a[2], m: a[3]}));
    m.stazioni = raw.stazioni.map((s) => ({
      voce: s[0], nome: s[1], m: s[2], inizio: s[3], fine: s[4], tipo: s[5], orario: s[6], rec: s[7],
      fermata: at_cell(s[8]),
    }));
    m.stazioni_per_posizione = m.stazioni.slice().sort((a, b) => a.m - b.m);
    m.diagnostiche_poste = m.diagnostiche
      .map((d, i) => Object.assign({indice: i, m: d.posizione}, d))
      .filter((d) => d.posizione !== null)
      .sort((a, b) => a.m - b.m);
    m.pianta = decode_plan(raw.tracciato);
    m.righe_pianta = raw.tracciato.righe;
    m.curve = raw.curve.map((c) => ({rec: c[0], prima: c[1], ultima: c[2]}))
      .filter((c) => c.ultima >= c.prima).sort((a, b) => a.prima - b.prima);
    m.curve_starts = Float64Array.from(m.curve, (c) => c.prima);
    return m;
  }

  /// "(Galleria   )(San Martino)" as "Galleria / San Martino".
  function board_text(text) {
    if (!text) return '';
    const parts = [...text.matchAll(/\(([^)]*)\)/g)].map((p) => p[1].trim()).filter((p) => p);
    return parts.length ? parts.join(' / ') : text.trim();
  }

  // ---- small helpers ----

  function clamp(v, lo, hi) { return Math.min(hi, Math.max(lo, v)); }

  /// The index of the first item whose `m` is at or after `metre`.
  function first_from(list, metre, key) {
    key = key || ((o) => o.m);
    let lo = 0, hi = list.length;
    while (lo < hi) {
      const mid = (lo + hi) >> 1;
      if (key(list[mid]) < metre) lo = mid + 1; else hi = mid;
    }
    return lo;
  }

  /// The items with `m` within [from, to].
  function in_range(list, from, to) {
    const out = [];
    for (let i = first_from(list, from); i < list.length && list[i].m <= to; i++) out.push(list[i]);
    return out;
  }

  /// The last index whose start is at or before `value` in a sorted typed array, -1 for none.
  function last_at_or_before(sorted, value) {
    let lo = 0, hi = sorted.length;
    while (lo < hi) {
      const mid = (lo + hi) >> 1;
      if (sorted[mid] <= value) lo = mid + 1; else hi = mid;
    }
    return lo - 1;
  }

  function nice_step(span, count) {
    if (!(span > 0)) return 1;
    const raw = span / count;
    const power = Math.pow(10, Math.floor(Math.log10(raw)));
    for (const f of [1, 2, 5, 10]) if (raw <= f * power) return f * power;
    return 10 * power;
  }

  function metres(m) { return Math.round(m).toLocaleString('en-US') + ' m'; }
  function km(m, digits) { return (m / 1000).toFixed(digits === undefined ? 3 : digits); }
  function at(m) { return metres(m) + ' (km ' + km(m) + ')'; }
  function km_label(m, step) {
    const digits = step >= 1000 ? 0 : step >= 100 ? 1 : step >= 10 ? 2 : 3;
    return km(m, digits);
  }
  function clock(s) {
    const two = (n) => String(n).padStart(2, '0');
    return two(Math.floor(s / 3600)) + ':' + two(Math.floor(s / 60) % 60) + ':' + two(s % 60);
  }
  function escape_html(s) {
    return String(s).replace(/[&<>"]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'}[c]));
  }

  /// Labels along one axis: each takes the first of `rows` rows where it
  /// stays `gap` clear of those placed before, by priority then from the
  /// left; a label that fits nowhere is left out. As label_rows.cpp does.
  function place_in_rows(labels, rows, gap) {
    const order = labels.map((l, i) => i).sort((a, b) =>
      (labels[b].priority - labels[a].priority) || (labels[a].from - labels[b].from));
    const taken = [];
    for (let r = 0; r < rows; r++) taken.push([]);
    const row = labels.map(() => -1);
    for (const i of order) {
      const a = labels[i].from - gap, b = labels[i].to + gap;
      for (let r = 0; r < rows; r++) {
        if (taken[r].some((t) => t[0] < b && t[1] > a)) continue;
        taken[r].push([labels[i].from, labels[i].to]);
        row[i] = r;
        break;
      }
    }
    return row;
  }

  function boxes_touch(a, b, gap) {
    return a.x0 < b.x1 + gap && b.x0 < a.x1 + gap && a.y0 < b.y1 + gap && b.y0 < a.y1 + gap;
  }

  /// A canvas sized to its box on screen, drawn in CSS pixels.
  function prepare(canvas, css_height) {
    if (css_height !== undefined) canvas.style.height = css_height + 'px';
    const ratio = window.devicePixelRatio || 1;
    const w = canvas.clientWidth, h = canvas.clientHeight;
    if (canvas.width !== Math.round(w * ratio) || canvas.height !== Math.round(h * ratio)) {
      canvas.width = Math.round(w * ratio);
      canvas.height = Math.round(h * ratio);
    }
    const ctx = canvas.getContext('2d');
    ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
    ctx.clearRect(0, 0, w, h);
    return {ctx: ctx, w: w, h: h};
  }

  // ---- what a thing is, in words ----

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

  // ---- the line view ----

  function visible_lanes() { return kLanes.filter((l) => layer_on[l.id]); }

  /// The lanes in `height` pixels: each between its least and its liked
  /// height, the profiles sharing whatever is left beyond that.
  function layout_line(height) {
    const shown = visible_lanes();
    const room = height - 6 - 4 * shown.length - kAxisHeight;
    const liked = shown.reduce((h, l) => h + l.height, 0), least = shown.reduce((h, l) => h + l.min, 0);
    const t = clamp((room - least) / Math.max(1, liked - least), 0, 1);
    const sizes = shown.map((l) => l.min + (l.height - l.min) * t);
    const profiles = shown.filter((l) => l.profile).length;
    const extra = room - sizes.reduce((a, b) => a + b, 0);
    if (extra > 0 && profiles) shown.forEach((l, i) => { if (l.profile) sizes[i] += extra / profiles; });
    let y = 6;
    const lanes = shown.map((l, i) => {
      const lane = Object.assign({}, l, {top: y, height: Math.floor(sizes[i])});
      y += lane.height + 4;
      return lane;
    });
    return {lanes: lanes, height: y + kAxisHeight};
  }

  /// The least height the line view can be drawn in, all its lanes shown.
  function least_line_height() {
    return visible_lanes().reduce((h, l) => h + l.min + 4, 6) + kAxisHeight;
  }

  /// Both canvases sized to the room the window leaves them: the plan takes
  /// up to two fifths, the line view the rest and never less than it needs,
  /// so the km axis is always in sight.
  function outer_height(el) {
    const es = getComputedStyle(el);
    return el.getBoundingClientRect().height + parseFloat(es.marginTop) + parseFloat(es.marginBottom);
  }

  function fit_canvases() {
    const views = document.getElementById('views');
    const cs = getComputedStyle(views);
    const border = 2;  // each canvas's, top and bottom
    const least = least_line_height() + border;
    let room = views.clientHeight - parseFloat(cs.paddingTop) - parseFloat(cs.paddingBottom);
    // The source panel gives up lines before the line view gives up lanes.
    const panel = document.getElementById('source-panel');
    if (!panel.hidden) {
      let other = 0;
      for (const el of views.children) {
        if (el === panel || el.tagName === 'CANVAS' || el.hidden || el.id === 'overlay') continue;
        other += outer_height(el);
      }
      panel.style.maxHeight = Math.floor(clamp(room - other - least - 66 - 6, 54, 132)) + 'px';
      const here = panel.querySelector('.here');
      if (here) panel.scrollTop = Math.max(0, here.offsetTop - panel.clientHeight / 2);
    }
    for (const el of views.children) {
      if (el.tagName === 'CANVAS' || el.hidden || el.id === 'overlay') continue;
      room -= outer_height(el);
    }
    const plan = Math.max(64, Math.min(room * 0.4, room - least));
    const line = Math.max(least, room - plan);
    plan_canvas.style.height = Math.floor(plan) + 'px';
    line_canvas.style.height = Math.floor(line) + 'px';
  }

  /// Nice bounds of a profile, from the whole of it so that they hold still
  /// while the view moves.
  function profile_bounds(name) {
    const runs = model.profili[name];
    let lo = Infinity, hi = -Infinity;
    for (let i = 0; i < runs.value.length; i++) {
      if (runs.start[i] >= runs.end) break;
      lo = Math.min(lo, runs.value[i]);
      hi = Math.max(hi, runs.value[i]);
    }
    if (!isFinite(lo)) return name === 'aderenza' ? [0, 100] : name === 'velocita' ? [0, 56] : [-6, 6];
    if (name === 'pendenza') {
      lo = Math.min(lo, -5); hi = Math.max(hi, 5);
      const pad = (hi - lo) * 0.12;
      return [lo - pad, hi + pad];
    }
    if (name === 'velocita') return [0, Math.max(hi, 50) * 1.12];
    return [Math.floor((lo - 5) / 10) * 10, Math.ceil((hi + 5) / 10) * 10];
  }

  function draw_line() {
    const {ctx, w, h} = prepare(line_canvas);
    const layout = layout_line(h);
    const left = w < 600 ? 96 : kLineLeft, right = w - kLineRight, width = Math.max(10, right - left);
    const span = range.to - range.from;
    const x_of = (m) => left + (m - range.from) / span * width;
    const frame = {left: left, right: right, width: width, x_of: x_of, lanes: layout.lanes, w: w, h: h,
      hits: {}, labels: [], drawn: {}, axis_top: layout.height - kAxisHeight};
    const bottom = layout.height - kAxisHeight;

    // Kilometre grid behind every lane.
    const step = nice_step(span, Math.max(2, Math.floor(width / 90)));
    ctx.font = '11px ' + kFont;
    for (const lane of layout.lanes) {
      ctx.fillStyle = '#fbfbf8';
      ctx.fillRect(left, lane.top, width, lane.height);
    }
    ctx.strokeStyle = kColours.grid;
    ctx.lineWidth = 1;
    for (let m = Math.ceil(range.from / step) * step; m <= range.to; m += step) {
      const x = Math.round(x_of(m)) + 0.5;
      ctx.beginPath();
      ctx.moveTo(x, 6);
      ctx.lineTo(x, bottom);
      ctx.stroke();
    }
    shade_tail(ctx, frame, 6, bottom);

    for (const lane of layout.lanes) {
      if (lane.profile) profile_scale(ctx, lane, frame);
      ctx.save();
      ctx.beginPath();
      ctx.rect(left, lane.top, width, lane.height);
      ctx.clip();
      const draw = kLaneDrawers[lane.profile ? 'profile' : lane.id];
      draw(ctx, lane, frame);
      ctx.restore();
      ctx.strokeStyle = '#bbb';
      ctx.strokeRect(left + 0.5, lane.top + 0.5, width - 1, lane.height - 1);
      lane_title(ctx, lane, frame);
    }
    draw_line_end(ctx, frame, 6, bottom);
    draw_axis(ctx, frame, step, bottom);
    line_frame = frame;
  }

  function lane_title(ctx, lane, frame) {
    ctx.font = 'bold 11px ' + kFont;
    ctx.textAlign = 'left';
    ctx.textBaseline = 'top';
    ctx.fillStyle = lane.colour ? kColours[lane.colour] : '#444';
    const title = lane.unit ? lane.title + ' (' + lane.unit + ')' : lane.title;
    if (lane.profile) {
      // Profiles carry their values in the margin; the title goes inside.
      const tw = ctx.measureText(title).width;
      ctx.fillStyle = 'rgba(251,251,248,0.85)';
      ctx.fillRect(frame.left + 3, lane.top + 2, tw + 6, 14);
      ctx.fillStyle = kColours[lane.colour];
      ctx.fillText(title, frame.left + 6, lane.top + 3);
      frame.labels.push({x0: frame.left + 3, y0: lane.top + 2, x1: frame.left + 9 + tw, y1: lane.top + 16, text: title});
    } else {
      ctx.fillText(title, 6, lane.top + 3);
    }
  }

  function shade_tail(ctx, frame, top, bottom) {
    const x0 = clamp(frame.x_of(model.lunghezza), frame.left, frame.right);
    const x1 = clamp(frame.x_of(model.grid_end), frame.left, frame.right);
    if (x1 > x0) {
      ctx.fillStyle = hatch(ctx);
      ctx.fillRect(x0, top, x1 - x0, bottom - top);
    }
    const x2 = clamp(frame.x_of(model.extent), frame.left, frame.right);
    if (x2 > x1) {
      ctx.fillStyle = 'rgba(120,120,120,0.18)';
      ctx.fillRect(x1, top, x2 - x1, bottom - top);
    }
  }

  let hatch_pattern = null;
  function hatch(ctx) {
    if (hatch_pattern) return hatch_pattern;
    const c = document.createElement('canvas');
    c.width = c.height = 8;
    const g = c.getContext('2d');
    g.fillStyle = 'rgba(154,165,177,0.12)';
    g.fillRect(0, 0, 8, 8);
    g.strokeStyle = 'rgba(154,165,177,0.45)';
    g.beginPath();
    g.moveTo(0, 8); g.lineTo(8, 0);
    g.stroke();
    hatch_pattern = ctx.createPattern(c, 'repeat');
    return hatch_pattern;
  }

  function draw_line_end(ctx, frame, top, bottom) {
    const x = frame.x_of(model.lunghezza);
    if (x < frame.left || x > frame.right) return;
    ctx.strokeStyle = '#000';
    ctx.lineWidth = 1.5;
    ctx.setLineDash([6, 3]);
    ctx.beginPath();
    ctx.moveTo(x, top);
    ctx.lineTo(x, bottom);
    ctx.stroke();
    ctx.setLineDash([]);
    ctx.lineWidth = 1;
  }

  function draw_axis(ctx, frame, step, top) {
    ctx.fillStyle = kColours.text;
    ctx.font = '11px ' + kFont;
    ctx.textBaseline = 'top';
    ctx.textAlign = 'center';
    const labels = [];
    for (let m = Math.ceil(range.from / step) * step; m <= range.to; m += step)
      labels.push({text: km_label(m, step), x: frame.x_of(m), priority: 1});
    // The line's end and the grid's end: the axis ends at the grid's end and
    // says where the line stops.
    const marks = [];
    if (model.lunghezza >= range.from && model.lunghezza <= range.to)
      marks.push({text: 'end of line, km ' + km(model.lunghezza, 1), x: frame.x_of(model.lunghezza), priority: 3});
    if (model.grid_end > model.lunghezza && model.grid_end >= range.from && model.grid_end <= range.to)
      marks.push({text: 'grid ends, km ' + km(model.grid_end, 1), x: frame.x_of(model.grid_end), priority: 2});
    const tail_from = Math.max(model.lunghezza, range.from), tail_to = Math.min(model.grid_end, range.to);
    if (tail_to > tail_from && frame.x_of(tail_to) - frame.x_of(tail_from) > 150)
      marks.push({text: 'grid\u2019s tail after the line\u2019s end', x: (frame.x_of(tail_from) + frame.x_of(tail_to)) / 2, priority: 1});
    const all = labels.map((l) => Object.assign(l, {row_set: 0})).concat(marks.map((l) => Object.assign(l, {row_set: 1})));
    for (const l of all) {
      const w = ctx.measureText(l.text).width;
      l.from = clamp(l.x - w / 2, frame.left - 30, frame.right + 10 - w);
      l.to = l.from + w;
    }
    const tick_rows = place_in_rows(labels, 1, kLabelGap);
    labels.forEach((l, i) => {
      if (tick_rows[i] < 0) return;
      const y = top + 5;
      ctx.fillText(l.text, (l.from + l.to) / 2, y);
      frame.labels.push({x0: l.from, y0: y, x1: l.to, y1: y + 12, text: l.text});
    });
    const mark_rows = place_in_rows(marks, 2, 8);
    marks.forEach((l, i) => {
      if (mark_rows[i] < 0) return;
      const y = top + 19 + 13 * mark_rows[i];
      ctx.fillStyle = '#000';
      ctx.fillText(l.text, (l.from + l.to) / 2, y);
      frame.labels.push({x0: l.from, y0: y, x1: l.to, y1: y + 12, text: l.text});
    });
    ctx.fillStyle = kColours.muted;
    ctx.textAlign = 'left';
    ctx.fillText('km', 6, top + 5);
  }

  /// Text labels of one lane, placed in `rows` rows from `top`, `row_height` apart.
  function lane_labels(ctx, frame, items, rows, top, row_height, font) {
    ctx.font = font;
    const labels = items.map((it) => {
      const w = ctx.measureText(it.text).width;
      // Centred on its thing, kept inside the lane.
      const from = clamp(it.x - w / 2, frame.left + 2, Math.max(frame.left + 2, frame.right - 2 - w));
      return {from: from, to: from + w, priority: it.priority || 0, item: it};
    });
    const row = place_in_rows(labels, rows, kLabelGap);
    ctx.textAlign = 'left';
    ctx.textBaseline = 'top';
    labels.forEach((l, i) => {
      if (row[i] < 0) return;
      const y = top + row[i] * row_height;
      ctx.fillStyle = 'rgba(251,251,248,0.85)';
      ctx.fillRect(l.from - 1, y, l.to - l.from + 2, row_height - 1);
      ctx.fillStyle = l.item.colour || kColours.text;
      ctx.fillText(l.item.text, l.from, y + 1);
      frame.labels.push({x0: l.from, y0: y, x1: l.to, y1: y + row_height - 1, text: l.item.text});
      if (l.item.hit) l.item.hit.push({x0: l.from, x1: l.to, y0: y, y1: y + row_height, thing: l.item.thing});
    });
  }

  const kLaneDrawers = {
    diagnostics(ctx, lane, frame) {
      const hits = frame.hits[lane.id] = [];
      const shown = in_range(model.diagnostiche_poste, range.from, range.to);
      for (const d of shown) {
        const x = frame.x_of(d.m), y = lane.top + lane.height / 2;
        ctx.fillStyle = kColours[d.gravita] || kColours.error;
        ctx.beginPath();
        ctx.moveTo(x, y - 7); ctx.lineTo(x + 6, y + 5); ctx.lineTo(x - 6, y + 5);
        ctx.closePath();
        ctx.fill();
        hits.push({x: x, thing: {kind: 'diagnostic', d: d}});
      }
      frame.drawn.diagnostics = shown.map((d) => d.m);
    },

    stations(ctx, lane, frame) {
      const hits = frame.hits[lane.id] = [];
      const label_hits = [];
      const base = lane.top + lane.height - 12;
      const rows = lane.height >= 48 ? 2 : 1;
      // Areas first: a station's area may reach into the view from outside.
      for (const s of model.stazioni) {
        if (s.fine < range.from || s.inizio > range.to) continue;
        const x0 = frame.x_of(s.inizio), x1 = Math.max(frame.x_of(s.fine), x0 + 2);
        ctx.fillStyle = kColours.area;
        ctx.fillRect(x0, base, x1 - x0, 8);
        hits.push({x0: x0, x1: x1, y0: base, y1: base + 8, thing: {kind: 'station', s: s}});
      }
      const shown = in_range(model.stazioni_per_posizione, range.from, range.to);
      const items = [];
      for (const s of shown) {
        const x = frame.x_of(s.m);
        ctx.strokeStyle = kColours.station;
        ctx.beginPath();
        ctx.moveTo(x, lane.top + 2 + 14 * rows); ctx.lineTo(x, base + 8);
        ctx.stroke();
        ctx.fillStyle = '#fff';
        ctx.beginPath();
        ctx.arc(x, base + 4, 4, 0, 2 * Math.PI);
        ctx.fill();
        ctx.stroke();
        hits.push({x: x, thing: {kind: 'station', s: s}});
        items.push({text: s.nome, x: x, priority: s.orario > 0 ? 2 : 1, hit: label_hits, thing: {kind: 'station', s: s}});
      }
      for (const f of in_range(model.fermate, range.from, range.to)) {
        const x = frame.x_of(f.m);
        ctx.fillStyle = kColours.station;
        ctx.beginPath();
        ctx.moveTo(x, base - 1); ctx.lineTo(x + 4, base - 7); ctx.lineTo(x - 4, base - 7);
        ctx.closePath();
        ctx.fill();
        hits.push({x: x, y0: base - 8, y1: base, thing: {kind: 'object', o: f}});
      }
      lane_labels(ctx, frame, items, rows, lane.top + 2, 14, '12px ' + kFont);
      hits.push(...label_hits);
      frame.drawn.stations = shown.map((s) => s.m);
      frame.drawn.station_names = shown.map((s) => s.nome);
    },

    signals(ctx, lane, frame) {
      const hits = frame.hits[lane.id] = [];
      const mid = lane.top + lane.height / 2;
      const shown = in_range(model.segnali, range.from, range.to);
      for (const o of shown) {
        const x = frame.x_of(o.m);
        ctx.strokeStyle = '#333';
        ctx.beginPath();
        ctx.moveTo(x, mid + 9); ctx.lineTo(x, mid - 4);
        ctx.stroke();
        ctx.fillStyle = kColours.signal;
        ctx.beginPath();
        ctx.arc(x, mid - 7, 3.5, 0, 2 * Math.PI);
        ctx.fill();
        hits.push({x: x, thing: {kind: 'object', o: o}});
      }
      const codes = in_range(model.codici, range.from, range.to);
      for (const o of codes) {
        const x = frame.x_of(o.m);
        ctx.fillStyle = kColours.code;
        if (o.tipo === 12) ctx.fillRect(x - 3, mid + 5, 6, 6);
        else {
          ctx.strokeStyle = kColours.code;
          ctx.beginPath();
          ctx.moveTo(x - 3, mid + 5); ctx.lineTo(x + 3, mid + 11);
          ctx.moveTo(x + 3, mid + 5); ctx.lineTo(x - 3, mid + 11);
          ctx.stroke();
        }
        hits.push({x: x, thing: {kind: 'object', o: o}});
      }
      if (layer_on.markers) {
        for (const a of in_range(model.avvisi, range.from, range.to)) {
          const x = frame.x_of(a.m);
          ctx.strokeStyle = kColours.marker;
          ctx.beginPath();
          ctx.moveTo(x, lane.top + 2); ctx.lineTo(x, lane.top + 6);
          ctx.stroke();
          hits.push({x: x, y0: lane.top, y1: lane.top + 8, thing: {kind: 'marker', a: a}});
        }
      }
      frame.drawn.signals = shown.map((o) => o.m);
      frame.drawn.codes = codes.map((o) => o.m);
    },

    boards(ctx, lane, frame) {
      const hits = frame.hits[lane.id] = [];
      const label_hits = [];
      const glyph_y = lane.top + lane.height - 16;
      const shown = in_range(model.cartelli_tutti, range.from, range.to);
      const items = [];
      for (const o of shown) {
        const x = frame.x_of(o.m);
        if (o.tipo === 6) {
          ctx.fillStyle = '#fff';
          ctx.strokeStyle = kColours.speed_board;
          ctx.fillRect(x - 5, glyph_y, 10, 12);
          ctx.strokeRect(x - 5 + 0.5, glyph_y + 0.5, 9, 11);
          const s = [0, 1, 2].map((i) => speeds_of_board(o.v[i])[0]);
          items.push({text: s.join('/'), x: x, priority: 1, hit: label_hits, thing: {kind: 'object', o: o}});
        } else {
          ctx.fillStyle = kColours.board;
          ctx.fillRect(x - 6, glyph_y + 1, 12, 9);
          items.push({text: o.testo, x: x, priority: 2, colour: kColours.board, hit: label_hits, thing: {kind: 'object', o: o}});
        }
        hits.push({x: x, thing: {kind: 'object', o: o}});
      }
      lane_labels(ctx, frame, items, lane.height >= 46 ? 2 : 1, lane.top + 2, 14, '11px ' + kFont);
      hits.push(...label_hits);
      frame.drawn.boards = shown.map((o) => o.m);
    },

    tunnels(ctx, lane, frame) {
      const hits = frame.hits[lane.id] = [];
      const y = lane.top + 6, h = lane.height - 12;
      const shown = model.gallerie.filter((g) => g.to >= range.from && g.from <= range.to);
      ctx.font = '10px ' + kFont;
      ctx.textBaseline = 'middle';
      ctx.textAlign = 'center';
      for (const g of shown) {
        const x0 = frame.x_of(g.from), x1 = Math.max(frame.x_of(g.to), x0 + 2);
        ctx.fillStyle = g.illuminata ? kColours.lit : kColours.tunnel;
        ctx.fillRect(x0, y, x1 - x0, h);
        ctx.strokeStyle = kColours.tunnel;
        ctx.strokeRect(x0 + 0.5, y + 0.5, x1 - x0 - 1, h - 1);
        hits.push({x0: x0, x1: x1, y0: y, y1: y + h, thing: {kind: 'tunnel', g: g}});
        // The length inside the bar, when the bar is wide enough to hold it.
        const text = metres(g.to - g.from);
        const cx = (Math.max(x0, frame.left) + Math.min(x1, frame.right)) / 2;
        const tw = ctx.measureText(text).width;
        if (Math.min(x1, frame.right) - Math.max(x0, frame.left) > tw + 8) {
          ctx.fillStyle = g.illuminata ? '#3a2c00' : '#fff';
          ctx.fillText(text, cx, y + h / 2);
          frame.labels.push({x0: cx - tw / 2, y0: y + 1, x1: cx + tw / 2, y1: y + h - 1, text: text});
        }
      }
      for (const o of in_range(model.marche, range.from, range.to)) {
        const x = frame.x_of(o.m);
        ctx.strokeStyle = '#3a2c00';
        ctx.beginPath();
        ctx.moveTo(x, y + h); ctx.lineTo(x, y + h + 4);
        ctx.stroke();
        hits.push({x: x, y0: y + h, y1: y + h + 6, thing: {kind: 'object', o: o}});
      }
      frame.drawn.tunnels = shown.map((g) => g.from);
    },

    slowdowns(ctx, lane, frame) {
      const hits = frame.hits[lane.id] = [];
      const label_hits = [];
      const band = lane.top + 18;
      const shown = model.rallentamenti.filter((r) => r.to >= range.from - 2000 && r.from <= range.to + 2000);
      const items = [];
      for (const r of shown) {
        const x0 = frame.x_of(r.from), x1 = Math.max(frame.x_of(r.to), x0 + 3);
        if (r.inizio) {
          ctx.fillStyle = kColours.slowdown;
          ctx.globalAlpha = 0.35;
          ctx.fillRect(x0, band, x1 - x0, 14);
          ctx.globalAlpha = 1;
          ctx.fillStyle = kColours.slowdown;
          ctx.fillRect(x0, band, 2, 14);
          ctx.fillRect(x1 - 2, band, 2, 14);
          hits.push({x0: x0, x1: x1, y0: band, y1: band + 14, thing: {kind: 'slowdown', r: r}});
          items.push({text: r.velocita + ' km/h', x: (x0 + x1) / 2, priority: 2, colour: '#9a4a00', hit: label_hits,
            thing: {kind: 'slowdown', r: r}});
        }
        if (r.avviso) {
          const x = frame.x_of(r.avviso.m);
          ctx.fillStyle = kColours.slowdown;
          ctx.beginPath();
          ctx.moveTo(x, band + 14); ctx.lineTo(x - 6, band + 2); ctx.lineTo(x + 6, band + 2);
          ctx.closePath();
          ctx.fill();
          hits.push({x: x, y0: band, y1: band + 16, thing: {kind: 'object', o: r.avviso}});
        }
        for (const p of r.prima) {
          const x = frame.x_of(p.m);
          ctx.fillStyle = kColours.slowdown;
          ctx.fillRect(x - 1.5, band + 10, 3, 3);
          hits.push({x: x, y0: band + 6, y1: band + 16, thing: {kind: 'object', o: p}});
        }
      }
      lane_labels(ctx, frame, items, 1, lane.top + 2, 14, '11px ' + kFont);
      hits.push(...label_hits);
      frame.drawn.slowdowns = shown.filter((r) => r.to >= range.from && r.from <= range.to).map((r) => r.from);
    },

    profile(ctx, lane, frame) {
      draw_profile(ctx, model.profili[lane.profile], frame, lane, kColours[lane.colour]);
    },
  };

  /// A profile lane's value scale: its grid, and its values in the margin.
  function profile_scale(ctx, lane, frame) {
    const [lo, hi] = profile_bounds(lane.profile);
    const top = lane.top + 4, height = lane.height - 8;
    const y_of = (v) => top + height - (v - lo) / (hi - lo) * height;
    lane.y_of = y_of;
    const step = nice_step(hi - lo, 4);
    ctx.font = '10px ' + kFont;
    ctx.textAlign = 'right';
    ctx.textBaseline = 'middle';
    let last_y = Infinity;
    for (let v = Math.ceil(lo / step) * step; v <= hi; v += step) {
      const y = y_of(v);
      if (last_y - y < 12) continue;
      last_y = y;
      ctx.strokeStyle = v === 0 ? '#c8c8c0' : kColours.grid;
      ctx.beginPath();
      ctx.moveTo(frame.left, Math.round(y) + 0.5); ctx.lineTo(frame.right, Math.round(y) + 0.5);
      ctx.stroke();
      const text = String(Math.round(v * 100) / 100);
      ctx.fillStyle = kColours.muted;
      ctx.fillText(text, frame.left - 5, y);
      const tw = ctx.measureText(text).width;
      frame.labels.push({x0: frame.left - 5 - tw, y0: y - 6, x1: frame.left - 5, y1: y + 6, text: text});
    }
  }

  /// A step profile: one step per run while a cell is two pixels or more,
  /// else the least and greatest value of every pixel column.
  /// A profile as steps, or as its envelope when cells are narrower than
  /// two pixels. Cells no rule wrote (a source that stopped early) are
  /// hatched, never drawn as the zero the grid holds there.
  function draw_profile(ctx, runs, frame, lane, colour) {
    const y_of = lane.y_of;
    if (runs.start.length === 0 || runs.end === 0) return;
    const unwritten = [];
    const cell = model.cell;
    const c0 = Math.max(0, Math.floor(range.from / cell));
    const c1 = Math.min(runs.end, Math.ceil(range.to / cell));
    if (c1 <= c0) return;
    const first_run = Math.max(0, last_at_or_before(runs.start, c0));
    const run_end = (i) => (i + 1 < runs.start.length ? runs.start[i + 1] : runs.end);
    const px_per_cell = frame.width / (range.to - range.from) * cell;
    ctx.strokeStyle = colour;
    ctx.fillStyle = colour;
    ctx.lineWidth = 2;
    ctx.beginPath();
    if (px_per_cell >= 2) {
      let started = false;
      for (let i = first_run; i < runs.start.length && runs.start[i] < c1; i++) {
        const a = Math.max(runs.start[i], c0), b = Math.min(run_end(i), c1);
        if (runs.rec[i] === 0) { unwritten.push([a, b]); started = false; continue; }
        const y = y_of(runs.value[i]);
        if (!started) { ctx.moveTo(frame.x_of(a * cell), y); started = true; } else ctx.lineTo(frame.x_of(a * cell), y);
        ctx.lineTo(frame.x_of(b * cell), y);
      }
      ctx.stroke();
    } else {
      const columns = Math.ceil(frame.width) + 1;
      const lo = new Float64Array(columns).fill(Infinity), hi = new Float64Array(columns).fill(-Infinity);
      for (let i = first_run; i < runs.start.length && runs.start[i] < c1; i++) {
        const a = Math.max(runs.start[i], c0), b = Math.min(run_end(i), c1);
        if (runs.rec[i] === 0) { unwritten.push([a, b]); continue; }
        const k0 = clamp(Math.floor(frame.x_of(a * cell) - frame.left), 0, columns - 1);
        const k1 = clamp(Math.ceil(frame.x_of(b * cell) - frame.left) - 1, k0, columns - 1);
        for (let k = k0; k <= k1; k++) {
          if (runs.value[i] < lo[k]) lo[k] = runs.value[i];
          if (runs.value[i] > hi[k]) hi[k] = runs.value[i];
        }
      }
      // The envelope: along the greatest values, back along the least.
      const xs = [];
      for (let k = 0; k < columns; k++) if (hi[k] >= lo[k]) xs.push(k);
      if (xs.length === 0) { hatch_unwritten(ctx, frame, lane, unwritten); return; }
      ctx.lineWidth = 1.5;
      ctx.moveTo(frame.left + xs[0], y_of(hi[xs[0]]));
      for (const k of xs) ctx.lineTo(frame.left + k + 0.5, y_of(hi[k]));
      for (let j = xs.length - 1; j >= 0; j--) ctx.lineTo(frame.left + xs[j] + 0.5, y_of(lo[xs[j]]));
      ctx.closePath();
      ctx.fill();
      ctx.stroke();
    }
    ctx.lineWidth = 1;
    hatch_unwritten(ctx, frame, lane, unwritten);
  }

  function hatch_unwritten(ctx, frame, lane, stretches) {
    frame.drawn.unwritten = (frame.drawn.unwritten || []).concat(
      stretches.map(([a, b]) => [lane.id, a * model.cell, b * model.cell]));
    for (const [a, b] of stretches) {
      const x0 = frame.x_of(a * model.cell), x1 = Math.max(frame.x_of(b * model.cell), x0 + 1);
      ctx.fillStyle = hatch(ctx);
      ctx.fillRect(x0, lane.top, x1 - x0, lane.height);
      ctx.strokeStyle = kColours.unwritten;
      ctx.strokeRect(x0 + 0.5, lane.top + 0.5, x1 - x0 - 1, lane.height - 1);
    }
  }

  // ---- the plan ----

  /// The point of the plan at metre `m`, between the kept rows around it.
  function plan_at(m) {
    const p = model.pianta;
    const n = p.rows.length;
    if (n === 0) return null;
    const i = last_at_or_before(p.rows, m);
    if (i < 0) return null;
    if (i >= n - 1) return p.rows[n - 1] === m ? {x: p.xs[n - 1], y: p.ys[n - 1]} : null;
    const t = (m - p.rows[i]) / (p.rows[i + 1] - p.rows[i]);
    const x = p.xs[i] + (p.xs[i + 1] - p.xs[i]) * t, y = p.ys[i] + (p.ys[i + 1] - p.ys[i]) * t;
    return isFinite(x) && isFinite(y) ? {x: x, y: y} : null;
  }

  /// The plan's points from metre `a` to metre `b`, ends included.
  function plan_points(a, b) {
    const p = model.pianta;
    const out = [];
    const start = plan_at(a);
    if (start) out.push({m: a, x: start.x, y: start.y});
    for (let i = Math.max(0, last_at_or_before(p.rows, a) + 1); i < p.rows.length && p.rows[i] < b; i++)
      out.push({m: p.rows[i], x: p.xs[i], y: p.ys[i]});
    const end = plan_at(b);
    if (end) out.push({m: b, x: end.x, y: end.y});
    return out;
  }

  function draw_plan() {
    const {ctx, w, h} = prepare(plan_canvas);
    const frame = {hits: [], labels: [], drawn: {}, points: []};
    plan_frame = frame;
    const last_row = model.pianta.rows.length ? model.pianta.rows[model.pianta.rows.length - 1] : -1;
    const from = Math.max(0, range.from), to = Math.min(range.to, last_row);
    const points = to > from ? plan_points(from, to) : [];
    const finite = points.filter((q) => isFinite(q.x));
    document.getElementById('plan-caption').textContent =
      'km ' + km(range.from, 2) + ' to ' + km(range.to, 2);
    ctx.font = '13px ' + kFont;
    ctx.fillStyle = kColours.muted;
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    if (finite.length < 2) {
      ctx.fillText(model.righe_pianta > 0 ? 'no plan in this range' : 'no plan: the sources give no length, or it was left out',
        w / 2, h / 2);
      frame.drawn.rows = [];
      return;
    }
    // Equal scale both ways; at least 40 m shown, so a straight does not
    // become a dot.
    let x0 = Infinity, x1 = -Infinity, y0 = Infinity, y1 = -Infinity;
    for (const q of finite) {
      x0 = Math.min(x0, q.x); x1 = Math.max(x1, q.x);
      y0 = Math.min(y0, q.y); y1 = Math.max(y1, q.y);
    }
    const pad = Math.min(kPlanPad, h / 4, w / 4);  // a short plan keeps room to draw in
    const scale = Math.min((w - 2 * pad) / Math.max(x1 - x0, 40), (h - 2 * pad) / Math.max(y1 - y0, 40));
    const cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const sx = (x) => w / 2 + (x - cx) * scale;
    const sy = (y) => h / 2 - (y - cy) * scale;
    const at_metre = (m) => { const q = plan_at(m); return q ? {x: sx(q.x), y: sy(q.y)} : null; };
    frame.at_metre = at_metre;
    frame.scale = scale;

    // The line, and past its end the grid's tail, dashed.
    const stroke_stretch = (a, b, style, width, dash) => {
      a = Math.max(a, from);
      b = Math.min(b, to);
      if (b <= a) return;
      const pts = plan_points(a, b);
      if (pts.length < 2) return;
      ctx.strokeStyle = style;
      ctx.lineWidth = width;
      ctx.setLineDash(dash || []);
      ctx.beginPath();
      let pen = false, lx = 0, ly = 0;
      for (const q of pts) {
        if (!isFinite(q.x)) { pen = false; continue; }
        const x = sx(q.x), y = sy(q.y);
        if (!pen) { ctx.moveTo(x, y); pen = true; lx = x; ly = y; continue; }
        // Points closer than half a pixel add nothing.
        if (Math.abs(x - lx) + Math.abs(y - ly) < 0.5 && q !== pts[pts.length - 1]) continue;
        ctx.lineTo(x, y);
        lx = x; ly = y;
      }
      ctx.stroke();
      ctx.setLineDash([]);
      ctx.lineWidth = 1;
    };
    if (layer_on.tunnels)
      for (const g of model.gallerie)
        if (g.to >= from && g.from <= to) stroke_stretch(g.from, g.to, g.illuminata ? kColours.lit : kColours.tunnel, 9);
    if (layer_on.slowdowns)
      for (const r of model.rallentamenti)
        if (r.inizio && r.to >= from && r.from <= to) stroke_stretch(r.from, Math.max(r.to, r.from + 1), 'rgba(239,125,16,0.55)', 7);
    stroke_stretch(model.lunghezza, to, kColours.tail, 2, [6, 5]);
    stroke_stretch(from, Math.min(to, model.lunghezza), kColours.line, 2.5);
    for (const q of finite) frame.points.push({m: q.m, x: sx(q.x), y: sy(q.y)});
    frame.drawn.rows = [finite[0].m, finite[finite.length - 1].m];

    const labels = [];
    // The line's end, across the line.
    if (model.lunghezza >= from && model.lunghezza <= to) {
      const e = at_metre(model.lunghezza), b = at_metre(Math.max(0, model.lunghezza - 5 / scale));
      if (e && b) {
        const dx = e.x - b.x, dy = e.y - b.y, n = Math.hypot(dx, dy) || 1;
        ctx.strokeStyle = '#000';
        ctx.lineWidth = 3;
        ctx.beginPath();
        ctx.moveTo(e.x - dy / n * 9, e.y + dx / n * 9);
        ctx.lineTo(e.x + dy / n * 9, e.y - dx / n * 9);
        ctx.stroke();
        ctx.lineWidth = 1;
        labels.push({x: e.x, y: e.y, text: 'end of line', priority: 5, colour: '#000', thing: {kind: 'line_end'}});
      }
    }
    if (layer_on.signals) {
      // Signals closer than a few pixels to the last one drawn are left
      // out: a long line seen whole would be one red smear.
      const shown = [];
      let last = null;
      for (const o of in_range(model.segnali, from, to)) {
        const q = at_metre(o.m);
        if (!q || (last && Math.hypot(q.x - last.x, q.y - last.y) < 5)) continue;
        last = q;
        shown.push(o);
        ctx.fillStyle = kColours.signal;
        ctx.beginPath();
        ctx.arc(q.x, q.y, 3, 0, 2 * Math.PI);
        ctx.fill();
        frame.hits.push({x: q.x, y: q.y, thing: {kind: 'object', o: o}});
      }
      frame.drawn.signals = shown.map((o) => o.m);
    }
    if (layer_on.stations) {
      const shown = in_range(model.stazioni_per_posizione, from, to);
      for (const s of shown) {
        const q = at_metre(s.m);
        if (!q) continue;
        ctx.fillStyle = '#fff';
        ctx.strokeStyle = kColours.station;
        ctx.lineWidth = 2;
        ctx.beginPath();
        ctx.arc(q.x, q.y, 5, 0, 2 * Math.PI);
        ctx.fill();
        ctx.stroke();
        ctx.lineWidth = 1;
        frame.hits.push({x: q.x, y: q.y, thing: {kind: 'station', s: s}});
        labels.push({x: q.x, y: q.y, text: s.nome, priority: 4, colour: kColours.station, bold: true, thing: {kind: 'station', s: s}});
      }
      frame.drawn.stations = shown.map((s) => s.m);
    }
    if (layer_on.km_posts) {
      const step = nice_step(to - from, 8);
      for (let m = Math.ceil(from / step) * step; m <= to; m += step) {
        const q = at_metre(m);
        if (!q) continue;
        ctx.fillStyle = kColours.muted;
        ctx.fillRect(q.x - 1.5, q.y - 1.5, 3, 3);
        labels.push({x: q.x, y: q.y, text: 'km ' + km_label(m, step), priority: 1, colour: kColours.muted, small: true});
      }
    }
    place_plan_labels(ctx, frame, labels, w, h);
    draw_scale_bar(ctx, frame, scale, w, h);
  }

  /// Labels beside their points: the first of eight places around the point
  /// that covers no label, point or edge; none when all are taken.
  function place_plan_labels(ctx, frame, labels, w, h) {
    labels.sort((a, b) => b.priority - a.priority);
    const placed = [];
    // The stations and signals drawn are obstacles too.
    const dots = frame.hits.map((t) => ({x0: t.x - 4, y0: t.y - 4, x1: t.x + 4, y1: t.y + 4}));
    ctx.textBaseline = 'middle';
    ctx.textAlign = 'left';
    for (const l of labels) {
      ctx.font = (l.bold ? 'bold ' : '') + (l.small ? '10px ' : '12px ') + kFont;
      const tw = ctx.measureText(l.text).width, th = l.small ? 11 : 14;
      const d = 8;
      const places = [[d, -th / 2], [-d - tw, -th / 2], [-tw / 2, -d - th], [-tw / 2, d],
        [d, -d - th], [-d - tw, -d - th], [d, d], [-d - tw, d]];
      for (const [ox, oy] of places) {
        const box = {x0: l.x + ox, y0: l.y + oy, x1: l.x + ox + tw, y1: l.y + oy + th};
        if (box.x0 < 2 || box.y0 < 2 || box.x1 > w - 2 || box.y1 > h - 2) continue;
        if (placed.some((p) => boxes_touch(p, box, 2))) continue;
        if (dots.some((p) => boxes_touch(p, box, 0))) continue;
        ctx.fillStyle = 'rgba(251,251,248,0.85)';
        ctx.fillRect(box.x0 - 1, box.y0, tw + 2, th);
        ctx.fillStyle = l.colour;
        ctx.fillText(l.text, box.x0, (box.y0 + box.y1) / 2);
        placed.push(box);
        frame.labels.push({x0: box.x0, y0: box.y0, x1: box.x1, y1: box.y1, text: l.text});
        if (l.thing) frame.hits.push({x0: box.x0, x1: box.x1, y0: box.y0, y1: box.y1, thing: l.thing});
        break;
      }
    }
  }

  function draw_scale_bar(ctx, frame, scale, w, h) {
    const metres_wide = nice_step(120 / scale, 1);
    const px = metres_wide * scale;
    const x = 12, y = h - 14;
    ctx.strokeStyle = '#333';
    ctx.lineWidth = 2;
    ctx.beginPath();
    ctx.moveTo(x, y - 4); ctx.lineTo(x, y); ctx.lineTo(x + px, y); ctx.lineTo(x + px, y - 4);
    ctx.stroke();
    ctx.lineWidth = 1;
    ctx.font = '11px ' + kFont;
    ctx.fillStyle = '#333';
    ctx.textAlign = 'left';
    ctx.textBaseline = 'bottom';
    const text = metres_wide >= 1000 ? km(metres_wide, metres_wide % 1000 ? 1 : 0) + ' km' : metres(metres_wide);
    ctx.fillText(text, x + px + 6, y + 4);
  }

  // ---- pointer, wheel, keys ----

  function lane_at(y) {
    if (!line_frame) return null;
    return line_frame.lanes.find((l) => y >= l.top && y < l.top + l.height) || null;
  }

  function nearest(hits, x, y) {
    let best = null, best_d = Infinity;
    for (const t of hits) {
      let d;
      if (t.x0 !== undefined) {
        if (y !== undefined && t.y0 !== undefined && (y < t.y0 - 2 || y > t.y1 + 2)) continue;
        d = x < t.x0 ? t.x0 - x : x > t.x1 ? x - t.x1 : 0;
        if (d === 0) d = 0.5;  // a point right on it wins over an area around it
      } else {
        if (y !== undefined && t.y0 !== undefined && (y < t.y0 - 2 || y > t.y1 + 2)) continue;
        d = Math.abs(t.x - x);
        if (t.y !== undefined && y !== undefined) d = Math.hypot(t.x - x, t.y - y);
      }
      if (d < best_d) { best_d = d; best = t; }
    }
    return best_d <= kHit ? best.thing : null;
  }

  function describe(thing) {
    switch (thing.kind) {
      case 'object': return describe_object(thing.o);
      case 'station': return describe_station(thing.s);
      case 'tunnel': return describe_tunnel(thing.g);
      case 'slowdown': return describe_slowdown(thing.r);
      case 'marker': return describe_marker(thing.a);
      case 'diagnostic': return describe_diagnostic(thing.d);
      case 'line_end': return {what: 'End of the line', where: at(model.lunghezza),
        values: ['the grid runs on to ' + at(model.grid_end)], origin: 'the line\u2019s length, entry 84', rec: 0};
      default: return thing.description;
    }
  }

  function hit_line(x, y) {
    const lane = lane_at(y);
    if (!lane || x < line_frame.left - 2 || x > line_frame.right + 2) return null;
    const metre = range.from + (x - line_frame.left) / line_frame.width * (range.to - range.from);
    if (lane.profile) {
      const per_px = (range.to - range.from) / line_frame.width;
      const found = describe_profile(lane.profile, metre, metre - per_px / 2, metre + per_px / 2);
      return found ? {kind: 'described', description: found} : null;
    }
    return nearest(line_frame.hits[lane.id] || [], x, y);
  }

  function hit_plan(x, y) {
    if (!plan_frame) return null;
    const thing = nearest(plan_frame.hits, x, y);
    if (thing) return thing;
    // Else the line itself: the nearest point drawn.
    let best = null, best_d = Infinity;
    const pts = plan_frame.points;
    for (let i = 0; i + 1 < pts.length; i++) {
      const a = pts[i], b = pts[i + 1];
      const dx = b.x - a.x, dy = b.y - a.y, d2 = dx * dx + dy * dy;
      const t = d2 > 0 ? clamp(((x - a.x) * dx + (y - a.y) * dy) / d2, 0, 1) : 0;
      const d = Math.hypot(a.x + t * dx - x, a.y + t * dy - y);
      if (d < best_d) { best_d = d; best = a.m + (b.m - a.m) * t; }
    }
    if (best === null || best_d > kHit) return null;
    return {kind: 'described', description: describe_plan_row(Math.round(best))};
  }

  function describe_plan_row(row) {
    const lines = [];
    const i = last_at_or_before(model.curve_starts, row);
    const curve = i >= 0 && model.curve[i].ultima >= row ? model.curve[i] : null;
    if (row > model.lunghezza) lines.push('beyond the end of the line: the grid\u2019s tail');
    if (curve) {
      lines.push('in a curve: rows ' + curve.prima + '\u2013' + curve.ultima + ' (' + metres(curve.ultima - curve.prima + 1) + ')');
      return {what: 'The plan at ' + at(row), where: 'plan row ' + row, values: lines,
        origin: 'turned by ' + record_words(curve.rec), rec: curve.rec};
    }
    lines.push('straight');
    return {what: 'The plan at ' + at(row), where: 'plan row ' + row, values: lines,
      origin: 'no curve turns this row', rec: 0};
  }

  function show_tooltip(thing, client_x, client_y) {
    if (!thing) { tooltip.hidden = true; return; }
    const d = describe(thing);
    if (!d) { tooltip.hidden = true; return; }
    const values = (d.values || []).filter((v) => v).map((v) => '<div class="values">' + escape_html(v) + '</div>').join('');
    const clickable = d.rec || d.diagnostic;
    tooltip.innerHTML = '<div class="what">' + escape_html(d.what) + '</div>' +
      '<div class="where">' + escape_html(d.where) + '</div>' + values +
      '<div class="origin">' + escape_html(d.origin) + '</div>' +
      (clickable ? '<div class="hint">click to show the source line</div>' : '');
    tooltip.hidden = false;
    const r = tooltip.getBoundingClientRect();
    const left = client_x + 14 + r.width > window.innerWidth ? client_x - 14 - r.width : client_x + 14;
    const top = client_y + 14 + r.height > window.innerHeight ? client_y - 10 - r.height : client_y + 14;
    tooltip.style.left = Math.max(0, left) + 'px';
    tooltip.style.top = Math.max(0, top) + 'px';
  }

  /// The source panel: line `riga` of source `sorgente` with the lines
  /// around it the page holds.
  function show_source(sorgente, riga, heading) {
    const panel = document.getElementById('source-panel');
    const source = model.sorgenti[sorgente];
    if (!source || !riga) return;
    document.getElementById('source-title').textContent = heading || (source.nome + ', line ' + riga);
    document.getElementById('source-where').value = source.nome + ':' + riga;
    const pre = document.getElementById('source-text');
    pre.textContent = '';
    for (let k = riga - 2; k <= riga + 2; k++) {
      const text = source.righe[String(k)];
      if (text === undefined) continue;
      const line = document.createElement('span');
      line.className = k === riga ? 'here' : '';
      line.dataset.line = String(k);
      const number = document.createElement('span');
      number.className = 'number';
      number.textContent = String(k) + '  ';
      line.appendChild(number);
      line.appendChild(document.createTextNode(text));
      pre.appendChild(line);
      if (k !== riga) pre.appendChild(document.createTextNode('\n'));
    }
    const was_hidden = panel.hidden;
    panel.hidden = false;
    if (was_hidden) { fit_canvases(); schedule(); }
  }

  function close_source() {
    document.getElementById('source-panel').hidden = true;
    fit_canvases();
    schedule();
  }

  function copy_where() {
    const box = document.getElementById('source-where');
    box.select();
    if (navigator.clipboard && window.isSecureContext) navigator.clipboard.writeText(box.value).catch(() => {});
    else document.execCommand('copy');
  }

  function show_source_of(thing) {
    const d = describe(thing);
    if (!d) return;
    if (d.diagnostic) {
      const k = d.diagnostic;
      if (k.sorgente >= 0) show_source(k.sorgente, k.riga, k.file + ', line ' + k.riga + ': ' + diagnostic_title(k));
      return;
    }
    const s = source_of(d.rec);
    if (s) show_source(s.sorgente, s.riga, s.file + ', line ' + s.riga + ' \u2014 ' + d.what);
  }

  function metre_at_line_x(x) {
    return range.from + (x - line_frame.left) / line_frame.width * (range.to - range.from);
  }

  /// The range asked for, kept apart from the one shown: a line that
  /// shrinks for a while (a source emptied, then mended) gets it back.
  let wanted = null;

  function set_range(a, b, keep_wanted) {
    if (!(isFinite(a) && isFinite(b))) return;
    if (!keep_wanted) wanted = {from: Math.min(a, b), to: Math.max(a, b)};
    if (b < a) [a, b] = [b, a];
    const full = model.extent;
    let span = clamp(b - a, kMinSpan, full);
    const centre = (a + b) / 2;
    a = centre - span / 2;
    if (a < 0) a = 0;
    if (a + span > full) a = Math.max(0, full - span);
    range.from = a;
    range.to = a + span;
    const round = (m) => String(Math.round(m) / 1000);
    document.getElementById('range-from').value = round(range.from);
    document.getElementById('range-to').value = round(range.to);
    schedule();
  }

  function zoom(factor, centre) {
    const span = range.to - range.from;
    if (centre === undefined) centre = (range.from + range.to) / 2;
    const t = (centre - range.from) / span;
    const new_span = clamp(span * factor, kMinSpan, model.extent);
    set_range(centre - t * new_span, centre - t * new_span + new_span);
  }

  function pan(fraction) {
    const span = range.to - range.from;
    set_range(range.from + span * fraction, range.to + span * fraction);
  }

  function jump_to(m, span) {
    span = span || Math.min(3000, range.to - range.from);
    set_range(m - span / 2, m + span / 2);
  }

  function wheel_factor(e) {
    const lines = e.deltaMode === 1 ? 33 : e.deltaMode === 2 ? 400 : 1;
    return Math.exp(clamp(e.deltaY * lines, -600, 600) * 0.0015);
  }

  function attach_pointer(canvas, hit, metre_of_x, metres_per_px) {
    let drag = null;
    canvas.addEventListener('pointerdown', (e) => {
      drag = {x: e.clientX, from: range.from, to: range.to, moved: false, per_px: metres_per_px()};
      canvas.setPointerCapture(e.pointerId);
    });
    canvas.addEventListener('pointermove', (e) => {
      const r = canvas.getBoundingClientRect();
      if (drag && Math.abs(e.clientX - drag.x) > 3) {
        drag.moved = true;
        canvas.classList.add('dragging');
        const shift = -(e.clientX - drag.x) * drag.per_px;
        set_range(drag.from + shift, drag.to + shift);
        tooltip.hidden = true;
        return;
      }
      if (!drag) show_tooltip(hit(e.clientX - r.left, e.clientY - r.top), e.clientX, e.clientY);
    });
    canvas.addEventListener('pointerup', (e) => {
      const was = drag;
      drag = null;
      canvas.classList.remove('dragging');
      if (was && !was.moved) {
        const r = canvas.getBoundingClientRect();
        const thing = hit(e.clientX - r.left, e.clientY - r.top);
        if (thing) {
          show_source_of(thing);
          if (thing.kind === 'diagnostic') select_diagnostic(thing.d.indice);
        }
      }
    });
    canvas.addEventListener('pointerleave', () => { if (!drag) tooltip.hidden = true; });
    // Ctrl + wheel (or a pinch) zooms and a sideways wheel pans; a plain
    // wheel is left to the page, so it never traps the reader.
    canvas.addEventListener('wheel', (e) => {
      if (e.ctrlKey || e.metaKey) {
        e.preventDefault();
        const r = canvas.getBoundingClientRect();
        zoom(wheel_factor(e), metre_of_x(e.clientX - r.left, e.clientY - r.top));
      } else if (e.shiftKey || Math.abs(e.deltaX) > Math.abs(e.deltaY)) {
        e.preventDefault();
        const d = e.shiftKey && !e.deltaX ? e.deltaY : e.deltaX;
        pan(clamp(d * (e.deltaMode === 1 ? 33 : 1) / canvas.clientWidth, -0.5, 0.5));
      }
    }, {passive: false});
  }

  function plan_metre_near(x, y) {
    if (!plan_frame || !plan_frame.points.length) return undefined;
    let best = undefined, best_d = Infinity;
    for (const q of plan_frame.points) {
      const d = Math.hypot(q.x - x, q.y - y);
      if (d < best_d) { best_d = d; best = q.m; }
    }
    return best;
  }

  function on_key(e) {
    if (e.target && (e.target.tagName === 'INPUT' || e.target.tagName === 'BUTTON')) return;
    if (e.ctrlKey || e.metaKey || e.altKey) return;
    const keys = {
      '+': () => zoom(0.5), '=': () => zoom(0.5), '-': () => zoom(2), '_': () => zoom(2),
      'ArrowLeft': () => pan(-0.2), 'ArrowRight': () => pan(0.2),
      'f': () => set_range(0, model.extent), 'F': () => set_range(0, model.extent), '0': () => set_range(0, model.extent),
      'Home': () => set_range(0, range.to - range.from),
      'End': () => set_range(model.extent - (range.to - range.from), model.extent),
    };
    if (keys[e.key]) { e.preventDefault(); keys[e.key](); }
  }

  // ---- the side panel ----

  function fill_lists() {
    document.getElementById('title').textContent = model.linea + ' \u2014 train ' + model.treno;
    document.getElementById('summary').textContent =
      'line ' + km(model.lunghezza, 1) + ' km \u00b7 grid ' + model.celle + ' cells to km ' + km(model.grid_end, 1) +
      ' \u00b7 ' + model.stazioni.length + ' stations \u00b7 ' + model.segnali.length + ' signals \u00b7 ' +
      model.gallerie.length + ' tunnels \u00b7 ' + model.rallentamenti.length + (model.rallentamenti.length === 1 ? ' slowdown' : ' slowdowns');
    const list = document.getElementById('station-list');
    list.textContent = '';
    for (const s of model.stazioni) {
      const li = document.createElement('li');
      li.tabIndex = 0;
      li.dataset.metre = String(s.m);
      li.title = s.nome + ' at ' + at(s.m);
      const k = document.createElement('span');
      k.className = 'km';
      k.textContent = km(s.m, 2);
      li.appendChild(k);
      li.appendChild(document.createTextNode(s.nome));
      const go = () => jump_to(s.m, 3000);
      li.addEventListener('click', go);
      li.addEventListener('keydown', (e) => { if (e.key === 'Enter') go(); });
      list.appendChild(li);
    }
    const diagnostics = document.getElementById('diagnostic-list');
    diagnostics.textContent = '';
    document.getElementById('diagnostic-count').textContent = '(' + model.diagnostiche.length + ')';
    // Grouped by file, in the order the compile reported them.
    const files = [];
    model.diagnostiche.forEach((d, i) => {
      const name = d.file || 'no file';
      let group = files.find((f) => f.name === name);
      if (!group) files.push(group = {name: name, items: []});
      group.items.push([d, i]);
    });
    for (const group of files) {
      const head = document.createElement('li');
      head.className = 'file';
      head.textContent = group.name + ' (' + group.items.length + ')';
      diagnostics.appendChild(head);
      for (const [d, i] of group.items) {
        const li = document.createElement('li');
        li.tabIndex = 0;
        li.className = d.gravita;
        li.dataset.index = String(i);
        li.textContent = diagnostic_title(d) + (d.riga ? ' \u00b7 line ' + d.riga : '') +
          (d.posizione !== null ? ' \u00b7 km ' + km(d.posizione) : '') + ': ' + d.testo;
        const go = () => {
          if (d.posizione !== null) jump_to(d.posizione, 3000);
          if (d.sorgente >= 0 && d.riga) show_source(d.sorgente, d.riga, d.file + ', line ' + d.riga + ': ' + diagnostic_title(d));
          select_diagnostic(i);
        };
        li.addEventListener('click', go);
        li.addEventListener('keydown', (e) => { if (e.key === 'Enter') go(); });
        diagnostics.appendChild(li);
      }
    }
  }

  function select_diagnostic(i) {
    for (const li of document.querySelectorAll('#diagnostic-list li'))
      li.style.background = li.dataset.index === String(i) ? '#fdecea' : '';
  }

  function fill_layers() {
    const box = document.getElementById('layers');
    for (const l of kLayers) {
      const label = document.createElement('label');
      const input = document.createElement('input');
      input.type = 'checkbox';
      input.checked = layer_on[l.id];
      input.dataset.layer = l.id;
      input.addEventListener('change', () => { layer_on[l.id] = input.checked; fit_canvases(); draw(); });
      const swatch = document.createElement('span');
      swatch.className = 'swatch';
      swatch.style.background = kColours[l.colour];
      label.appendChild(input);
      label.appendChild(swatch);
      label.appendChild(document.createTextNode(l.name));
      box.appendChild(label);
    }
  }

  // ---- drawing and live updates ----

  function draw() {
    redraw_pending = false;
    draw_line();
    draw_plan();
    document.getElementById('line-caption').textContent =
      'km ' + km(range.from, 2) + ' to ' + km(range.to, 2) + ' \u00b7 Ctrl + wheel or +/\u2212 zooms, drag or arrows pan, F fits';
    if (first_draw_ms === null) {
      first_draw_ms = performance.now();
      performance.mark('genera-first-draw');
    }
  }

  /// The live page's state over the drawing: the errors of the last
  /// compile, or the source that went missing.
  function show_state() {
    const box = document.getElementById('overlay');
    const st = model.stato;
    box.textContent = '';
    if (!st || st.esito === 'ok') { box.hidden = true; return; }
    const heading = document.createElement('h3');
    const note = document.createElement('div');
    box.appendChild(heading);
    box.appendChild(note);
    if (st.esito === 'mancante') {
      heading.textContent = st.file + ' is missing';
      note.textContent = 'It was deleted or renamed. The drawing is the last one made; it is redrawn when the file is back.';
    } else {
      const list = st.diagnostiche.filter((d) => d.gravita === 'error');
      heading.textContent = list.length + (list.length === 1 ? ' error' : ' errors') + ' in the sources';
      note.textContent = st.disegno === 'ultimo_buono'
        ? 'The drawing is the last one that compiled without errors.'
        : 'Drawn as far as the sources go; stretches no record reached are hatched.';
      const ol = document.createElement('ol');
      for (const d of list) {
        const li = document.createElement('li');
        li.textContent = (d.file ? d.file + (d.riga ? ':' + d.riga : '') + ': ' : '') + diagnostic_title(d) + ': ' + d.testo;
        ol.appendChild(li);
      }
      box.appendChild(ol);
    }
    box.hidden = false;
  }

  function schedule() {
    if (redraw_pending) return;
    redraw_pending = true;
    requestAnimationFrame(draw);
  }

  function start_live() {
    const live = document.getElementById('live');
    live.hidden = false;
    live.textContent = 'live';
    let busy = false;
    setInterval(async () => {
      if (busy) return;
      busy = true;
      try {
        const answer = await fetch('version', {cache: 'no-store'});
        const version = Number(await answer.text());
        if (version !== model.versione) {
          const data = await (await fetch('data', {cache: 'no-store'})).json();
          model = decode(data);
          fill_lists();
          show_state();
          // The range asked for, within the new line.
          set_range(wanted.from, wanted.to, true);
          live.textContent = 'live \u00b7 updated ' + new Date().toLocaleTimeString('en-GB');
        }
        live.classList.remove('stopped');
      } catch (err) {
        live.textContent = 'live \u00b7 the server does not answer';
        live.classList.add('stopped');
      }
      busy = false;
    }, 250);
  }

  document.getElementById('zoom-in').addEventListener('click', () => zoom(0.5));
  document.getElementById('zoom-out').addEventListener('click', () => zoom(2));
  document.getElementById('fit').addEventListener('click', () => set_range(0, model.extent));
  document.getElementById('range-form').addEventListener('submit', (e) => {
    e.preventDefault();
    const a = parseFloat(document.getElementById('range-from').value);
    const b = parseFloat(document.getElementById('range-to').value);
    set_range(a * 1000, b * 1000);
  });
  attach_pointer(line_canvas, hit_line, (x) => metre_at_line_x(x),
    () => (range.to - range.from) / line_frame.width);
  attach_pointer(plan_canvas, hit_plan, (x, y) => plan_metre_near(x, y),
    () => (range.to - range.from) / plan_canvas.clientWidth);
  document.addEventListener('keydown', on_key);
  const refit = () => { fit_canvases(); schedule(); };
  window.addEventListener('resize', refit);
  if (window.ResizeObserver) new ResizeObserver(refit).observe(document.getElementById('views'));
  document.getElementById('source-close').addEventListener('click', close_source);
  document.getElementById('source-copy').addEventListener('click', copy_where);
  document.getElementById('side-toggle').addEventListener('click', () => {
    const open = document.body.classList.toggle('side-open');
    document.getElementById('side-toggle').setAttribute('aria-expanded', String(open));
  });

  fill_layers();
  fill_lists();
  show_state();
  fit_canvases();
  set_range(0, model.extent);
  draw();
  if (config.servita) start_live();

  // For the browser tests and the benchmark: where things are drawn.
  const flush = () => { if (redraw_pending) draw(); };
  const to_client = (canvas, p) => {
    const r = canvas.getBoundingClientRect();
    return {x: r.left + p.x, y: r.top + p.y};
  };
  window.genera_viewer = {
    range: () => [range.from, range.to],
    set_range: (a, b) => { set_range(a, b); draw(); },
    version: () => model.versione,
    state: () => (model.stato ? model.stato.esito : null),
    stations: () => model.stazioni.map((s) => s.nome),
    first_draw_ms: () => first_draw_ms,
    // A draw still waiting for its frame is made first: what is asked for
    // is what the page shows once it has caught up.
    drawn: () => { flush(); return {line: line_frame.drawn, plan: plan_frame.drawn}; },
    labels: () => { flush(); return {line: line_frame.labels, plan: plan_frame.labels}; },
    lanes: () => line_frame.lanes.map((l) => ({id: l.id, top: l.top, height: l.height, min: l.min})),
    axis: () => ({top: line_frame.axis_top, bottom: line_frame.axis_top + kAxisHeight}),
    line_size: () => [line_frame.w, line_frame.h],
    lane_point: (id, m) => {
      const lane = line_frame.lanes.find((l) => l.id === id);
      return lane ? to_client(line_canvas, {x: line_frame.x_of(m), y: lane.top + lane.height / 2}) : null;
    },
    plan_point: (m) => {
      const p = plan_frame.at_metre ? plan_frame.at_metre(m) : null;
      return p ? to_client(plan_canvas, p) : null;
    },
  };
})();
