// Export of the view as it is on screen, the same km range and layers:
// as SVG, drawn again by the same code into a recorder that writes SVG
// elements, and as PNG, from the canvases themselves. Both carry a title
// line and the legend of the layers shown.

const kExportTitle = 26;
const kLegendColumn = 250;
const kLegendRow = 18;

/// The page's sizes: the title, the plan, the line view, the legend.
function export_layout() {
  const w = Math.max(plan_canvas.clientWidth, line_canvas.clientWidth);
  const entries = kLegend.filter((e) => !e.layer || layer_on[e.layer]);
  const columns = Math.max(1, Math.floor((w - 12) / kLegendColumn));
  const rows = Math.ceil(entries.length / columns);
  const plan = plan_canvas.clientHeight, line = line_canvas.clientHeight;
  return {w: w, plan: plan, line: line, entries: entries, columns: columns,
    legend_top: kExportTitle + plan + line + 8, h: kExportTitle + plan + line + 16 + rows * kLegendRow};
}

function export_title() {
  return model.linea + ' \u2014 train ' + model.treno + ' \u00b7 km ' + km(range.from, 3) + ' to ' + km(range.to, 3);
}

function export_name(extension) {
  return (model.linea + '_' + model.treno + '_km' + km(range.from, 1) + '-' + km(range.to, 1) + '.' + extension)
    .replace(/[^\w.-]+/g, '_');
}

/// The title and the legend, around the two views.
function draw_export_frame(ctx, layout) {
  ctx.fillStyle = '#fff';
  ctx.fillRect(0, 0, layout.w, layout.h);
  ctx.fillStyle = kColours.text;
  ctx.font = 'bold 14px ' + kFont;
  ctx.textAlign = 'left';
  ctx.textBaseline = 'middle';
  ctx.fillText(export_title(), 8, kExportTitle / 2);
  layout.entries.forEach((e, i) => {
    const x = 8 + (i % layout.columns) * kLegendColumn;
    const y = layout.legend_top + Math.floor(i / layout.columns) * kLegendRow;
    draw_glyph(ctx, e.glyph, kColours[e.colour], x, y + 2, 22, 14);
    ctx.fillStyle = kColours.text;
    ctx.font = '11px ' + kFont;
    ctx.textAlign = 'left';
    ctx.textBaseline = 'middle';
    ctx.fillText(e.name, x + 28, y + 9);
  });
}

function download(name, href) {
  const link = document.createElement('a');
  link.setAttribute('download', name);
  // The picture itself, as a data address: nothing is fetched.
  link.setAttribute('href', href);
  document.body.appendChild(link);
  link.click();
  link.remove();
}

/// The view as a PNG image; its name and its data address.
function export_png() {
  flush_draw();
  const layout = export_layout();
  const ratio = window.devicePixelRatio || 1;
  const c = document.createElement('canvas');
  c.width = Math.round(layout.w * ratio);
  c.height = Math.round(layout.h * ratio);
  const g = c.getContext('2d');
  g.setTransform(ratio, 0, 0, ratio, 0, 0);
  draw_export_frame(g, layout);
  g.drawImage(plan_canvas, 0, kExportTitle, plan_canvas.clientWidth, layout.plan);
  g.drawImage(line_canvas, 0, kExportTitle + layout.plan, line_canvas.clientWidth, layout.line);
  const name = export_name('png'), data = c.toDataURL('image/png');
  download(name, data);
  return {name: name, data: data};
}

/// The view as an SVG picture; its name and its text.
function export_svg() {
  flush_draw();
  const layout = export_layout();
  const svg = new SvgContext();
  draw_export_frame(svg, layout);
  recording = svg;
  try {
    svg.group(0, kExportTitle, 'plan');
    draw_plan();
    svg.end_group();
    svg.group(0, kExportTitle + layout.plan, 'line');
    draw_line();
    svg.end_group();
  } finally {
    recording = null;
    draw();  // the frames the pointer uses are the canvases' again
  }
  const text = svg.document(layout.w, layout.h, export_title(), range);
  const name = export_name('svg');
  download(name, 'data:image/svg+xml;charset=utf-8,' + encodeURIComponent(text));
  return {name: name, data: text};
}

function flush_draw() { if (redraw_pending) draw(); }

/// XML text: markup escaped, and the control characters XML cannot hold left out.
function escape_xml(s) {
  const kept = Array.from(String(s)).filter((ch) => {
    const c = ch.charCodeAt(0);
    return c >= 32 || c === 9 || c === 10 || c === 13;
  });
  return escape_html(kept.join('')).replace(/'/g, '&#39;');
}

/// A canvas colour as SVG's colour and opacity.
function svg_paint(style, alpha) {
  if (typeof style !== 'string') return ['url(#hatch)', alpha];
  const m = /^rgba?\(\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*(?:,\s*([\d.]+)\s*)?\)$/.exec(style);
  if (m) return ['rgb(' + m[1] + ',' + m[2] + ',' + m[3] + ')', alpha * (m[4] === undefined ? 1 : Number(m[4]))];
  return [style, alpha];
}

const n2 = (v) => String(Math.round(v * 100) / 100);

/// The part of a canvas's 2D context the views use, writing SVG elements.
class SvgContext {
  constructor() {
    this.out = [];
    this.defs = [];
    this.clips = 0;
    this.path = '';
    this.state = {fillStyle: '#000', strokeStyle: '#000', lineWidth: 1, font: '10px sans-serif',
      textAlign: 'start', textBaseline: 'alphabetic', globalAlpha: 1, dash: [], opened: 0};
    this.stack = [];
    this.measure = document.createElement('canvas').getContext('2d');
  }

  get fillStyle() { return this.state.fillStyle; }
  set fillStyle(v) { this.state.fillStyle = v; }
  get strokeStyle() { return this.state.strokeStyle; }
  set strokeStyle(v) { this.state.strokeStyle = v; }
  get lineWidth() { return this.state.lineWidth; }
  set lineWidth(v) { this.state.lineWidth = v; }
  get font() { return this.state.font; }
  set font(v) { this.state.font = v; }
  get textAlign() { return this.state.textAlign; }
  set textAlign(v) { this.state.textAlign = v; }
  get textBaseline() { return this.state.textBaseline; }
  set textBaseline(v) { this.state.textBaseline = v; }
  get globalAlpha() { return this.state.globalAlpha; }
  set globalAlpha(v) { this.state.globalAlpha = v; }

  group(x, y, id) {
    this.out.push('<g id="' + id + '" transform="translate(' + n2(x) + ' ' + n2(y) + ')">');
  }
  end_group() { this.out.push('</g>'); }

  save() { this.stack.push(Object.assign({}, this.state, {opened: 0})); }
  restore() {
    const st = this.stack.pop();
    if (!st) return;
    for (let i = 0; i < this.state.opened; i++) this.out.push('</g>');
    this.state = st;
  }
  setTransform() {}
  clearRect() {}
  setLineDash(d) { this.state.dash = d.slice(); }
  createPattern() { return {hatch: true}; }
  measureText(text) {
    this.measure.font = this.state.font;
    return this.measure.measureText(text);
  }

  beginPath() { this.path = ''; }
  moveTo(x, y) { this.path += 'M' + n2(x) + ' ' + n2(y); }
  lineTo(x, y) { this.path += 'L' + n2(x) + ' ' + n2(y); }
  closePath() { this.path += 'Z'; }
  rect(x, y, w, h) { this.path += 'M' + n2(x) + ' ' + n2(y) + 'h' + n2(w) + 'v' + n2(h) + 'h' + n2(-w) + 'Z'; }
  arc(x, y, r) {
    // The views draw whole circles only.
    this.path += 'M' + n2(x + r) + ' ' + n2(y) + 'A' + n2(r) + ' ' + n2(r) + ' 0 1 0 ' + n2(x - r) + ' ' + n2(y) +
      'A' + n2(r) + ' ' + n2(r) + ' 0 1 0 ' + n2(x + r) + ' ' + n2(y) + 'Z';
  }

  fill_attributes() {
    const [colour, opacity] = svg_paint(this.state.fillStyle, this.state.globalAlpha);
    return ' fill="' + escape_xml(colour) + '"' + (opacity < 1 ? ' fill-opacity="' + n2(opacity) + '"' : '');
  }
  stroke_attributes() {
    const [colour, opacity] = svg_paint(this.state.strokeStyle, this.state.globalAlpha);
    return ' fill="none" stroke="' + escape_xml(colour) + '" stroke-width="' + n2(this.state.lineWidth) + '"' +
      (opacity < 1 ? ' stroke-opacity="' + n2(opacity) + '"' : '') +
      (this.state.dash.length ? ' stroke-dasharray="' + this.state.dash.join(' ') + '"' : '');
  }

  fill() { if (this.path) this.out.push('<path d="' + this.path + '"' + this.fill_attributes() + '/>'); }
  stroke() { if (this.path) this.out.push('<path d="' + this.path + '"' + this.stroke_attributes() + '/>'); }
  clip() {
    const id = 'clip' + (++this.clips);
    this.defs.push('<clipPath id="' + id + '"><path d="' + this.path + '"/></clipPath>');
    this.out.push('<g clip-path="url(#' + id + ')">');
    this.state.opened++;
  }
  fillRect(x, y, w, h) {
    this.out.push('<rect x="' + n2(x) + '" y="' + n2(y) + '" width="' + n2(w) + '" height="' + n2(h) + '"' +
      this.fill_attributes() + '/>');
  }
  strokeRect(x, y, w, h) {
    this.out.push('<rect x="' + n2(x) + '" y="' + n2(y) + '" width="' + n2(w) + '" height="' + n2(h) + '"' +
      this.stroke_attributes() + '/>');
  }
  fillText(text, x, y) {
    const f = /^(bold\s+)?([\d.]+)px\s+(.*)$/.exec(this.state.font) || [null, null, '10', 'sans-serif'];
    const size = Number(f[2]);
    const shift = {top: 0.8, hanging: 0.8, middle: 0.35, bottom: -0.2, ideographic: -0.2}[this.state.textBaseline] || 0;
    const anchor = {center: 'middle', right: 'end', end: 'end'}[this.state.textAlign] || 'start';
    this.out.push('<text x="' + n2(x) + '" y="' + n2(y + shift * size) + '" font-size="' + size + '"' +
      (f[1] ? ' font-weight="bold"' : '') + (anchor !== 'start' ? ' text-anchor="' + anchor + '"' : '') +
      this.fill_attributes() + '>' + escape_xml(text) + '</text>');
  }

  /// The whole picture, `w` by `h`, its title and the km range it shows.
  document(w, h, title, shown) {
    // A clip left open by a drawing that did not restore is closed here.
    while (this.stack.length) this.restore();
    for (let i = 0; i < this.state.opened; i++) this.out.push('</g>');
    this.state.opened = 0;
    const hatch_of = svg_paint('rgba(154,165,177,0.45)', 1);
    return '<?xml version="1.0" encoding="UTF-8"?>\n' +
      '<svg xmlns="http://www.w3.org/2000/svg" width="' + n2(w) + '" height="' + n2(h) + '" viewBox="0 0 ' +
      n2(w) + ' ' + n2(h) + '" data-km-from="' + n2(shown.from / 1000) + '" data-km-to="' + n2(shown.to / 1000) + '"' +
      ' font-family="DejaVu Sans, Arial, Helvetica, sans-serif">\n' +
      '<title>' + escape_xml(title) + '</title>\n<defs>' +
      '<pattern id="hatch" width="8" height="8" patternUnits="userSpaceOnUse">' +
      '<rect width="8" height="8" fill="' + hatch_of[0] + '" fill-opacity="0.12"/>' +
      '<path d="M0 8L8 0" stroke="' + hatch_of[0] + '" stroke-opacity="0.45"/></pattern>' +
      this.defs.join('') + '</defs>\n' + this.out.join('\n') + '\n</svg>\n';
  }
}
