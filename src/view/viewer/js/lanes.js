// The line view: its lanes, profiles and km axis.

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
    if (lane.curves) profile_scales(ctx, lane, frame);
    ctx.save();
    ctx.beginPath();
    ctx.rect(left, lane.top, width, lane.height);
    ctx.clip();
    const draw_lane = kLaneDrawers[lane.curves ? 'profile' : lane.id];
    draw_lane(ctx, lane, frame);
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
  ctx.textBaseline = 'top';
  if (lane.curves) {
    // Profiles carry their values in the margins; each curve's title goes
    // inside, on the side of its scale.
    for (const c of curves_shown(lane)) {
      const title = c.title + ' (' + c.unit + ')';
      const tw = ctx.measureText(title).width;
      const x0 = c.side === 'right' ? frame.right - 9 - tw : frame.left + 3;
      ctx.fillStyle = 'rgba(251,251,248,0.85)';
      ctx.fillRect(x0, lane.top + 2, tw + 6, 14);
      ctx.fillStyle = kColours[c.colour];
      ctx.textAlign = 'left';
      ctx.fillText(title, x0 + 3, lane.top + 3);
      frame.labels.push({x0: x0, y0: lane.top + 2, x1: x0 + 6 + tw, y1: lane.top + 16, text: title});
    }
    return;
  }
  ctx.textAlign = 'left';
  ctx.fillStyle = '#444';
  ctx.fillText(lane.title, 6, lane.top + 3);
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
  if (ctx === recording) return ctx.createPattern();  // the export's own
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
  ctx.strokeStyle = kColours.text;
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
    ctx.fillStyle = kColours.text;
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
      ctx.strokeStyle = kColours.tunnel;
      ctx.beginPath();
      ctx.moveTo(x, y + h); ctx.lineTo(x, y + h + 4);
      ctx.stroke();
      hits.push({x: x, y0: y + h, y1: y + h + 6, thing: {kind: 'object', o: o}});
    }
    frame.drawn.tunnels = shown.map((g) => g.from);
  },

  curves(ctx, lane, frame) {
    const hits = frame.hits[lane.id] = [];
    const mid = lane.top + lane.height / 2, h = Math.max(4, lane.height / 2 - 5);
    ctx.strokeStyle = kColours.muted;
    ctx.beginPath();
    ctx.moveTo(frame.left, Math.round(mid) + 0.5); ctx.lineTo(frame.right, Math.round(mid) + 0.5);
    ctx.stroke();
    const shown = model.curve.filter((c) => c.to >= range.from && c.from <= range.to);
    ctx.font = '10px ' + kFont;
    ctx.textBaseline = 'middle';
    ctx.textAlign = 'center';
    for (const c of shown) {
      const x0 = frame.x_of(c.from), x1 = Math.max(frame.x_of(c.to), x0 + 2);
      const y = c.left ? mid : mid - h;
      ctx.fillStyle = c.left ? kColours.curve_left : kColours.curve_right;
      ctx.fillRect(x0, y, x1 - x0, h);
      hits.push({x0: x0, x1: x1, y0: y, y1: y + h, thing: {kind: 'curve', c: c}});
      const text = c.raggio ? 'R ' + c.raggio.toLocaleString('en-US') : '';
      const tw = ctx.measureText(text).width;
      const a = Math.max(x0, frame.left), b = Math.min(x1, frame.right);
      if (text && b - a > tw + 6) {
        ctx.fillStyle = '#fff';
        ctx.fillText(text, (a + b) / 2, y + h / 2);
        frame.labels.push({x0: (a + b - tw) / 2, y0: y, x1: (a + b + tw) / 2, y1: y + h, text: text});
      }
    }
    frame.drawn.curves = shown.map((c) => Math.max(c.from, range.from));
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
    const unwritten = [];
    for (const c of curves_shown(lane))
      draw_profile(ctx, model.profili[c.profile], frame, lane, c, unwritten);
    hatch_unwritten(ctx, frame, lane, unwritten);
  },
};

/// A profile lane's value scales: for each curve its `y_of`, its values in
/// the margin of its side; the grid lines follow the first curve shown.
function profile_scales(ctx, lane, frame) {
  lane.y_of = {};
  curves_shown(lane).forEach((c, i) => {
    const [lo, hi] = profile_bounds(c.profile);
    const top = lane.top + 20, height = lane.height - 24;
    const y_of = (v) => top + height - (v - lo) / (hi - lo) * height;
    lane.y_of[c.profile] = y_of;
    const step = nice_step(hi - lo, Math.max(2, Math.floor(height / 24)));
    ctx.font = '10px ' + kFont;
    ctx.textAlign = c.side === 'right' ? 'left' : 'right';
    ctx.textBaseline = 'middle';
    let last_y = Infinity;
    for (let v = Math.ceil(lo / step) * step; v <= hi; v += step) {
      const y = y_of(v);
      if (last_y - y < 12 || y < lane.top + 6) continue;
      last_y = y;
      if (i === 0) {
        ctx.strokeStyle = v === 0 ? '#c8c8c0' : kColours.grid;
        ctx.beginPath();
        ctx.moveTo(frame.left, Math.round(y) + 0.5); ctx.lineTo(frame.right, Math.round(y) + 0.5);
        ctx.stroke();
      }
      // The values in the curve's own colour: two scales, one per side.
      const text = String(Math.round(v * 100) / 100);
      const tw = ctx.measureText(text).width;
      const x = c.side === 'right' ? frame.right + 5 : frame.left - 5;
      ctx.strokeStyle = kColours[c.colour];
      ctx.beginPath();
      const tick = c.side === 'right' ? frame.right : frame.left;
      ctx.moveTo(tick - 3, Math.round(y) + 0.5); ctx.lineTo(tick + 3, Math.round(y) + 0.5);
      ctx.stroke();
      ctx.fillStyle = kColours[c.colour];
      ctx.fillText(text, x, y);
      const x0 = c.side === 'right' ? x : x - tw;
      frame.labels.push({x0: x0, y0: y - 6, x1: x0 + tw, y1: y + 6, text: text});
    }
  });
}

/// A profile as steps, or as its envelope when cells are narrower than
/// two pixels; a filled curve (the gradient) is shaded down to its zero.
/// Cells no rule wrote (a source that stopped early) go to `unwritten`, to
/// be hatched, never drawn as the zero the grid holds there.
function draw_profile(ctx, runs, frame, lane, curve, unwritten) {
  const y_of = lane.y_of[curve.profile];
  const colour = kColours[curve.colour];
  if (runs.start.length === 0 || runs.end === 0) return;
  const cell = model.cell;
  const c0 = Math.max(0, Math.floor(range.from / cell));
  const c1 = Math.min(runs.end, Math.ceil(range.to / cell));
  if (c1 <= c0) return;
  const first_run = Math.max(0, last_at_or_before(runs.start, c0));
  const run_end = (i) => (i + 1 < runs.start.length ? runs.start[i + 1] : runs.end);
  const px_per_cell = frame.width / (range.to - range.from) * cell;
  const zero = clamp(y_of(0), lane.top, lane.top + lane.height);
  ctx.strokeStyle = colour;
  ctx.fillStyle = colour;
  ctx.lineWidth = 2;
  if (px_per_cell >= 2) {
    // Stretches of written cells, each a list of steps.
    const pieces = [];
    let piece = null;
    for (let i = first_run; i < runs.start.length && runs.start[i] < c1; i++) {
      const a = Math.max(runs.start[i], c0), b = Math.min(run_end(i), c1);
      if (runs.rec[i] === 0) { unwritten.push([a, b]); piece = null; continue; }
      if (!piece) pieces.push(piece = []);
      piece.push([frame.x_of(a * cell), frame.x_of(b * cell), y_of(runs.value[i])]);
    }
    for (const steps of pieces) {
      ctx.beginPath();
      ctx.moveTo(steps[0][0], steps[0][2]);
      for (const [xa, xb, y] of steps) { ctx.lineTo(xa, y); ctx.lineTo(xb, y); }
      if (curve.fill) {
        ctx.lineTo(steps[steps.length - 1][1], zero);
        ctx.lineTo(steps[0][0], zero);
        ctx.closePath();
        ctx.globalAlpha = 0.22;
        ctx.fill();
        ctx.globalAlpha = 1;
        ctx.beginPath();
        ctx.moveTo(steps[0][0], steps[0][2]);
        for (const [xa, xb, y] of steps) { ctx.lineTo(xa, y); ctx.lineTo(xb, y); }
      }
      ctx.stroke();
    }
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
    // The envelope: along the greatest values, back along the least; a
    // filled curve also takes in its zero.
    const xs = [];
    for (let k = 0; k < columns; k++) if (hi[k] >= lo[k]) xs.push(k);
    if (xs.length === 0) return;
    if (curve.fill) {
      ctx.beginPath();
      ctx.moveTo(frame.left + xs[0], zero);
      for (const k of xs) ctx.lineTo(frame.left + k + 0.5, Math.min(zero, y_of(hi[k])));
      for (let j = xs.length - 1; j >= 0; j--) ctx.lineTo(frame.left + xs[j] + 0.5, Math.max(zero, y_of(lo[xs[j]])));
      ctx.closePath();
      ctx.globalAlpha = 0.22;
      ctx.fill();
      ctx.globalAlpha = 1;
    }
    ctx.lineWidth = 1.5;
    ctx.beginPath();
    ctx.moveTo(frame.left + xs[0], y_of(hi[xs[0]]));
    for (const k of xs) ctx.lineTo(frame.left + k + 0.5, y_of(hi[k]));
    for (let j = xs.length - 1; j >= 0; j--) ctx.lineTo(frame.left + xs[j] + 0.5, y_of(lo[xs[j]]));
    ctx.closePath();
    if (!curve.fill) ctx.fill();
    ctx.stroke();
  }
  ctx.lineWidth = 1;
}

function hatch_unwritten(ctx, frame, lane, stretches) {
  frame.drawn.unwritten = (frame.drawn.unwritten || []).concat(
    stretches.map(([a, b]) => [lane.id, a * model.cell, b * model.cell]));
  // Each stretch once, however many curves of the lane left it.
  const seen = new Set();
  for (const [a, b] of stretches) {
    if (seen.has(a + ':' + b)) continue;
    seen.add(a + ':' + b);
    const x0 = frame.x_of(a * model.cell), x1 = Math.max(frame.x_of(b * model.cell), x0 + 1);
    ctx.fillStyle = hatch(ctx);
    ctx.fillRect(x0, lane.top, x1 - x0, lane.height);
    ctx.strokeStyle = kColours.unwritten;
    ctx.strokeRect(x0 + 0.5, lane.top + 0.5, x1 - x0 - 1, lane.height - 1);
  }
}
