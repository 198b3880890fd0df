// Pointer, wheel and keys; the range; the side panel.

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
    case 'curve': return describe_curve(thing.c);
    case 'line_end': return {what: 'End of the line', where: at(model.lunghezza),
      values: ['the grid runs on to ' + at(model.grid_end)], origin: 'the line\u2019s length, entry 84', rec: 0};
    default: return thing.description;
  }
}

function hit_line(x, y) {
  const lane = lane_at(y);
  if (!lane || x < line_frame.left - 2 || x > line_frame.right + 2) return null;
  const metre = range.from + (x - line_frame.left) / line_frame.width * (range.to - range.from);
  if (lane.curves) {
    // The curve nearest the pointer is described; the others of the lane
    // add their value there.
    const shown = curves_shown(lane).filter((c) => profile_value(c.profile, metre) !== null);
    if (!shown.length) return null;
    const gap = (c) => Math.abs(lane.y_of[c.profile](profile_value(c.profile, metre)) - y);
    shown.sort((a, b) => gap(a) - gap(b));
    const per_px = (range.to - range.from) / line_frame.width;
    const found = describe_profile(shown[0].profile, metre, metre - per_px / 2, metre + per_px / 2);
    if (!found) return null;
    for (const c of shown.slice(1))
      found.values.push(c.title + ' here ' + profile_value(c.profile, metre) + ' ' + c.unit);
    return {kind: 'described', description: found};
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
  scroll_source_to_line();
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
  const span = clamp(b - a, kMinSpan, full);
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
    'n': () => step_object(1), ']': () => step_object(1),
    'p': () => step_object(-1), '[': () => step_object(-1),
    '/': () => document.getElementById('search').focus(),
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
    input.addEventListener('change', () => { layer_on[l.id] = input.checked; fill_legend(); fit_canvases(); draw(); });
    const swatch = document.createElement('span');
    swatch.className = 'swatch';
    swatch.style.background = kColours[l.colour];
    label.appendChild(input);
    label.appendChild(swatch);
    label.appendChild(document.createTextNode(l.name));
    box.appendChild(label);
  }
}
