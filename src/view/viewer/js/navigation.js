// Finding one's way: permalinks in the address, the search box, the next
// and previous object from the keyboard, the minimap.

// ---- permalinks: #km=38-48&layers=stations,signals ----

let hash_written = '';

/// The view's address: its range in km and the layers shown.
function view_hash() {
  const k = (m) => String(Math.round(m) / 1000);
  const layers = kLayers.filter((l) => layer_on[l.id]).map((l) => l.id).join(',');
  return '#km=' + k(range.from) + '-' + k(range.to) + '&layers=' + layers;
}

function write_hash() {
  const h = view_hash();
  if (h === hash_written || h === location.hash) return;
  hash_written = h;
  history.replaceState(null, '', h);
}

/// The range and the layers an address names; true when it named any.
function read_hash() {
  const fields = new URLSearchParams(location.hash.replace(/^#/, ''));
  let named = false;
  if (fields.has('layers')) {
    const on = new Set(fields.get('layers').split(',').filter((x) => x));
    for (const l of kLayers) layer_on[l.id] = on.has(l.id);
    for (const box of document.querySelectorAll('#layers input[data-layer]'))
      box.checked = layer_on[box.dataset.layer];
    fill_legend();
    named = true;
  }
  const km_range = /^(\d+(?:\.\d+)?)-(\d+(?:\.\d+)?)$/.exec(fields.get('km') || '');
  if (km_range) {
    fit_canvases();
    set_range(parseFloat(km_range[1]) * 1000, parseFloat(km_range[2]) * 1000);
    named = true;
  }
  return named;
}

// ---- search ----

/// The first thing `query` names: a km ("38.5", "km 38.5"), a source line
/// ("line 36", ":36"), a station, a board's text, a signal by its position
/// ("signal 2800"); null when nothing matches.
function find(query) {
  const q = query.trim().toLowerCase();
  if (!q) return null;
  let m = /^(?:km\s*)?(\d+(?:[.,]\d+)?)$/.exec(q);
  if (m) {
    const metre = parseFloat(m[1].replace(',', '.')) * 1000;
    return {metre: metre, words: 'km ' + km(metre)};
  }
  m = /^(?:line\s*|riga\s*|:)(\d+)$/.exec(q);
  if (m) {
    const line = Number(m[1]);
    const things = [].concat(
      model.oggetti.map((o) => ({rec: o.rec, metre: o.m, thing: {kind: 'object', o: o}})),
      model.stazioni.map((s) => ({rec: s.rec, metre: s.m, thing: {kind: 'station', s: s}})),
      model.gallerie.map((g) => ({rec: g.rec, metre: g.from, thing: {kind: 'tunnel', g: g}})));
    const hit = things.find((t) => { const r = model.record.get(t.rec); return r && r.riga === line; });
    if (hit) return {metre: hit.metre, thing: hit.thing, words: 'line ' + line};
    return null;
  }
  m = /^(?:signal|segnale)\s+(\d+)$/.exec(q);
  if (m) {
    const at_m = Number(m[1]);
    const s = model.segnali.find((o) => { const r = model.record.get(o.rec); return r && r.posizione === at_m; });
    return s ? {metre: s.m, thing: {kind: 'object', o: s}, words: 'signal at ' + metres(at_m)} : null;
  }
  const station = model.stazioni.find((s) => s.nome.toLowerCase().includes(q));
  if (station) return {metre: station.m, thing: {kind: 'station', s: station}, words: station.nome};
  const board = model.cartelli.find((o) => (o.testo || '').toLowerCase().includes(q));
  if (board) return {metre: board.m, thing: {kind: 'object', o: board}, words: board.testo};
  return null;
}

function search(query) {
  const found = find(query);
  const out = document.getElementById('search-result');
  if (!found) {
    out.textContent = 'nothing matches';
    return null;
  }
  out.textContent = found.words;
  jump_to(found.metre, Math.min(3000, range.to - range.from));
  if (found.thing) show_source_of(found.thing);
  return found;
}

// ---- next and previous object ----

/// Everything that stands at a point, in order along the line.
function point_things() {
  if (model.punti) return model.punti;
  const list = [].concat(
    model.stazioni.map((s) => ({m: s.m, lane: 'stations', thing: {kind: 'station', s: s}})),
    model.segnali.map((o) => ({m: o.m, lane: 'signals', thing: {kind: 'object', o: o}})),
    model.codici.map((o) => ({m: o.m, lane: 'signals', thing: {kind: 'object', o: o}})),
    model.cartelli_tutti.map((o) => ({m: o.m, lane: 'boards', thing: {kind: 'object', o: o}})));
  list.sort((a, b) => a.m - b.m);
  return (model.punti = list);
}

let focused = null;

/// Moves to the next (`step` 1) or previous (-1) object from the one in
/// focus, or from the middle of the view, and shows what it is.
function step_object(step) {
  const list = point_things();
  if (!list.length) return null;
  const from = focused ? focused.m : (range.from + range.to) / 2;
  let i = step > 0 ? list.findIndex((t) => t.m > from + 0.5) : list.findLastIndex((t) => t.m < from - 0.5);
  if (i < 0) i = step > 0 ? list.length - 1 : 0;
  focused = list[i];
  const span = range.to - range.from;
  if (focused.m < range.from + span * 0.05 || focused.m > range.to - span * 0.05) jump_to(focused.m, span);
  draw();
  const lane = line_frame.lanes.find((l) => l.id === focused.lane);
  const r = line_canvas.getBoundingClientRect();
  const x = r.left + line_frame.x_of(focused.m), y = r.top + (lane ? lane.top + lane.height / 2 : 20);
  show_tooltip(focused.thing, x, y);
  return focused;
}

// ---- the minimap: the whole line, and where the view is on it ----

const minimap = document.getElementById('minimap');

function draw_minimap() {
  if (minimap.hidden) return;
  const {ctx, w, h} = prepare(minimap);
  const x_of = (m) => m / model.extent * w;
  ctx.fillStyle = '#fbfbf8';
  ctx.fillRect(0, 0, w, h);
  if (model.grid_end > model.lunghezza) {
    ctx.fillStyle = hatch(ctx);
    ctx.fillRect(x_of(model.lunghezza), 0, x_of(model.grid_end) - x_of(model.lunghezza), h);
  }
  ctx.fillStyle = kColours.tunnel;
  for (const g of model.gallerie) ctx.fillRect(x_of(g.from), h - 7, Math.max(1, x_of(g.to) - x_of(g.from)), 5);
  ctx.fillStyle = kColours.station;
  for (const s of model.stazioni) ctx.fillRect(Math.round(x_of(s.m)), 3, 1.5, h - 10);
  ctx.fillStyle = kColours.signal;
  for (const o of model.segnali) ctx.fillRect(Math.round(x_of(o.m)), 3, 1, 4);
  const a = x_of(range.from), b = Math.max(x_of(range.to), a + 3);
  ctx.fillStyle = 'rgba(31,78,121,0.18)';
  ctx.fillRect(a, 0, b - a, h);
  ctx.strokeStyle = kColours.line;
  ctx.lineWidth = 1.5;
  ctx.strokeRect(a + 0.75, 0.75, b - a - 1.5, h - 1.5);
  ctx.lineWidth = 1;
}

/// The view's middle moved to where the minimap was clicked, its span kept.
function minimap_to(client_x) {
  const r = minimap.getBoundingClientRect();
  const metre = clamp((client_x - r.left) / r.width, 0, 1) * model.extent;
  jump_to(metre, range.to - range.from);
}

{
  let held = false;
  minimap.addEventListener('pointerdown', (e) => { held = true; minimap.setPointerCapture(e.pointerId); minimap_to(e.clientX); });
  minimap.addEventListener('pointermove', (e) => { if (held) minimap_to(e.clientX); });
  minimap.addEventListener('pointerup', () => { held = false; });
}
