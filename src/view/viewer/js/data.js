// The data: the page's JSON decoded into arrays, and small helpers.

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
  // Each curve's side and radius, from the class digit and the side letter
  // of its key field ("curvad4": right, class 4, about 1,000 m).
  const kTurn = {1: 0.0001, 2: 0.0002, 3: 0.0004, 4: 0.001, 5: 0.002, 6: 0.003};
  for (const c of m.curve) {
    const r = m.record.get(c.rec);
    const key = r ? r.chiave : '';
    const digit = [...'123456'].find((d) => key.includes(d));
    c.left = /s/i.test(key.replace(/^curva/i, ''));
    c.raggio = digit ? Math.round(1 / kTurn[digit]) : null;
    // Rows p + 1 to p + len turn: the curve runs from metre p to p + len.
    c.from = c.prima - 1;
    c.to = c.ultima;
    c.m = c.from;
  }
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

/// A canvas sized to its box on screen, drawn in CSS pixels; while the
/// view is exported, the recorder that stands in for it.
let recording = null;
function prepare(canvas, css_height) {
  if (css_height !== undefined) canvas.style.height = css_height + 'px';
  if (recording) return {ctx: recording, w: canvas.clientWidth, h: canvas.clientHeight};
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
