// The plan of the line.

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
      ctx.strokeStyle = kColours.text;
      ctx.lineWidth = 3;
      ctx.beginPath();
      ctx.moveTo(e.x - dy / n * 9, e.y + dx / n * 9);
      ctx.lineTo(e.x + dy / n * 9, e.y - dx / n * 9);
      ctx.stroke();
      ctx.lineWidth = 1;
      labels.push({x: e.x, y: e.y, text: 'end of line', priority: 5, colour: kColours.text, thing: {kind: 'line_end'}});
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
