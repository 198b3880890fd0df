// The legend: every mark the views draw, drawn again in the same colour
// from the program's table, beside what it means.

// Each entry belongs to a layer (none: always drawn) and has a glyph.
const kLegend = [
  {layer: 'stations', glyph: 'ring', colour: 'station', name: 'Station'},
  {layer: 'stations', glyph: 'band', colour: 'area', name: 'Station\u2019s area'},
  {layer: 'stations', glyph: 'down', colour: 'stop', name: 'Stop cell'},
  {layer: 'signals', glyph: 'dot', colour: 'signal', name: 'Signal'},
  {layer: 'signals', glyph: 'square', colour: 'code', name: 'Code cell'},
  {layer: 'signals', glyph: 'cross', colour: 'code', name: 'Code cut'},
  {layer: 'markers', glyph: 'tick', colour: 'marker', name: 'Approach marker'},
  {layer: 'boards', glyph: 'box', colour: 'speed_board', name: 'Speed-indicator board'},
  {layer: 'boards', glyph: 'board', colour: 'board', name: 'Indicator board'},
  {layer: 'tunnels', glyph: 'bar', colour: 'tunnel', name: 'Tunnel, not lit'},
  {layer: 'tunnels', glyph: 'bar', colour: 'lit', name: 'Tunnel, lit'},
  {layer: 'slowdowns', glyph: 'band', colour: 'slowdown', name: 'Slowdown'},
  {layer: 'slowdowns', glyph: 'down', colour: 'slowdown', name: 'Slowdown warning board'},
  {layer: 'curves', glyph: 'bar', colour: 'curve_left', name: 'Curve to the left (below)'},
  {layer: 'curves', glyph: 'bar', colour: 'curve_right', name: 'Curve to the right (above)'},
  {layer: 'gradient', glyph: 'fill', colour: 'gradient', name: 'Gradient, \u2030 (left scale)'},
  {layer: 'speed', glyph: 'step', colour: 'speed', name: 'Speed limit, km/h (right scale)'},
  {layer: 'adhesion', glyph: 'step', colour: 'adhesion', name: 'Adhesion, %'},
  {layer: 'diagnostics', glyph: 'up', colour: 'error', name: 'Error'},
  {layer: 'diagnostics', glyph: 'up', colour: 'warning', name: 'Warning'},
  {layer: 'diagnostics', glyph: 'up', colour: 'note', name: 'Note'},
  {layer: null, glyph: 'line', colour: 'line', name: 'The line (plan, minimap)'},
  {layer: null, glyph: 'dashed', colour: 'tail', name: 'The grid\u2019s tail past the line\u2019s end'},
  {layer: null, glyph: 'end', colour: 'text', name: 'End of the line'},
  {layer: null, glyph: 'hatch', colour: 'unwritten', name: 'Cells no record wrote'},
  {layer: 'km_posts', glyph: 'post', colour: 'muted', name: 'Kilometre post (plan)'},
];

/// One entry's glyph in a `w` by `h` box at (x, y), as the views draw it.
function draw_glyph(ctx, glyph, colour, x, y, w, h) {
  const cx = x + w / 2, cy = y + h / 2;
  ctx.fillStyle = colour;
  ctx.strokeStyle = colour;
  ctx.lineWidth = 1;
  ctx.beginPath();
  switch (glyph) {
    case 'ring':
      ctx.fillStyle = '#fff';
      ctx.arc(cx, cy, 4, 0, 2 * Math.PI);
      ctx.fill();
      ctx.stroke();
      break;
    case 'dot': ctx.arc(cx, cy, 3.5, 0, 2 * Math.PI); ctx.fill(); break;
    case 'band': ctx.fillRect(x + 1, cy - 4, w - 2, 8); break;
    case 'bar': ctx.fillRect(x + 1, cy - 5, w - 2, 10); break;
    case 'square': ctx.fillRect(cx - 3, cy - 3, 6, 6); break;
    case 'board': ctx.fillRect(cx - 6, cy - 4.5, 12, 9); break;
    case 'post': ctx.fillRect(cx - 1.5, cy - 1.5, 3, 3); break;
    case 'box':
      ctx.fillStyle = '#fff';
      ctx.fillRect(cx - 5, cy - 6, 10, 12);
      ctx.strokeRect(cx - 4.5, cy - 5.5, 9, 11);
      break;
    case 'cross':
      ctx.moveTo(cx - 3, cy - 3); ctx.lineTo(cx + 3, cy + 3);
      ctx.moveTo(cx + 3, cy - 3); ctx.lineTo(cx - 3, cy + 3);
      ctx.stroke();
      break;
    case 'tick': ctx.moveTo(cx, cy - 4); ctx.lineTo(cx, cy + 4); ctx.stroke(); break;
    case 'down':
      ctx.moveTo(cx, cy + 5); ctx.lineTo(cx - 5, cy - 4); ctx.lineTo(cx + 5, cy - 4);
      ctx.closePath();
      ctx.fill();
      break;
    case 'up':
      ctx.moveTo(cx, cy - 6); ctx.lineTo(cx + 6, cy + 5); ctx.lineTo(cx - 6, cy + 5);
      ctx.closePath();
      ctx.fill();
      break;
    case 'fill':
      ctx.globalAlpha = 0.22;
      ctx.fillRect(x + 1, cy - 2, w - 2, 7);
      ctx.globalAlpha = 1;
      ctx.lineWidth = 2;
      ctx.moveTo(x + 1, cy - 2); ctx.lineTo(x + w - 1, cy - 2);
      ctx.stroke();
      break;
    case 'step':
      ctx.lineWidth = 2;
      ctx.moveTo(x + 1, cy + 3); ctx.lineTo(cx, cy + 3); ctx.lineTo(cx, cy - 3); ctx.lineTo(x + w - 1, cy - 3);
      ctx.stroke();
      break;
    case 'line': ctx.lineWidth = 2.5; ctx.moveTo(x + 1, cy); ctx.lineTo(x + w - 1, cy); ctx.stroke(); break;
    case 'dashed':
      ctx.lineWidth = 2;
      ctx.setLineDash([4, 3]);
      ctx.moveTo(x + 1, cy); ctx.lineTo(x + w - 1, cy);
      ctx.stroke();
      ctx.setLineDash([]);
      break;
    case 'end':
      ctx.lineWidth = 1.5;
      ctx.setLineDash([4, 2]);
      ctx.moveTo(cx, y + 1); ctx.lineTo(cx, y + h - 1);
      ctx.stroke();
      ctx.setLineDash([]);
      break;
    case 'hatch':
      ctx.fillStyle = hatch(ctx);
      ctx.fillRect(x + 1, y + 2, w - 2, h - 4);
      ctx.strokeRect(x + 1.5, y + 2.5, w - 3, h - 5);
      break;
    default: break;
  }
  ctx.lineWidth = 1;
}

/// The legend in the side panel; entries of layers switched off are dimmed.
function fill_legend() {
  const list = document.getElementById('legend');
  if (!list.childElementCount) {
    for (const e of kLegend) {
      const li = document.createElement('li');
      li.dataset.colour = e.colour;
      if (e.layer) li.dataset.layer = e.layer;
      const swatch = document.createElement('canvas');
      swatch.className = 'legend-swatch';
      swatch.width = 22;
      swatch.height = 14;
      li.appendChild(swatch);
      li.appendChild(document.createTextNode(e.name));
      list.appendChild(li);
    }
  }
  kLegend.forEach((e, i) => {
    const li = list.children[i];
    li.classList.toggle('off', Boolean(e.layer) && !layer_on[e.layer]);
    const swatch = li.firstChild;
    const ctx = swatch.getContext('2d');
    ctx.clearRect(0, 0, swatch.width, swatch.height);
    draw_glyph(ctx, e.glyph, kColours[e.colour], 0, 0, swatch.width, swatch.height);
  });
}
