// The layout: the canvases sized to the window, the lanes to the line view.

/// The lanes shown: those switched on, the diagnostics only when one has
/// a place on the line.
function visible_lanes() {
  return kLanes.filter((l) => (l.curves ? l.curves.some((c) => layer_on[c.layer]) : layer_on[l.id]) &&
    (l.id !== 'diagnostics' || model.diagnostiche_poste.length > 0));
}

/// The curves a profile lane draws: those whose layer is on.
function curves_shown(lane) {
  return (lane.curves || []).filter((c) => layer_on[c.layer]);
}

/// The lanes in `height` pixels: each between its least and its liked
/// height, the profiles sharing whatever is left beyond that.
function layout_line(height) {
  const shown = visible_lanes();
  const room = height - 6 - 4 * shown.length - kAxisHeight;
  const liked = shown.reduce((h, l) => h + l.height, 0), least = shown.reduce((h, l) => h + l.min, 0);
  const t = clamp((room - least) / Math.max(1, liked - least), 0, 1);
  const sizes = shown.map((l) => l.min + (l.height - l.min) * t);
  const profiles = shown.filter((l) => l.curves).length;
  const extra = room - sizes.reduce((a, b) => a + b, 0);
  if (extra > 0 && profiles) shown.forEach((l, i) => { if (l.curves) sizes[i] += extra / profiles; });
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
/// The source panel scrolled so the line asked for sits under its bar.
function scroll_source_to_line() {
  const panel = document.getElementById('source-panel');
  const here = panel.querySelector('.here');
  if (panel.hidden || !here) return;
  const bar = document.getElementById('source-bar').getBoundingClientRect().height;
  const top = here.getBoundingClientRect().top - panel.getBoundingClientRect().top + panel.scrollTop;
  panel.scrollTop = Math.max(0, top - bar - 4);
}

function outer_height(el) {
  const es = getComputedStyle(el);
  return el.getBoundingClientRect().height + parseFloat(es.marginTop) + parseFloat(es.marginBottom);
}

function fit_canvases() {
  if (window.matchMedia && matchMedia('print').matches) {
    // On paper the page scrolls: each view as tall as it likes to be.
    plan_canvas.style.height = '300px';
    line_canvas.style.height = visible_lanes().reduce((h, l) => h + l.height + 4, 6) + kAxisHeight + 'px';
    return;
  }
  const views = document.getElementById('views');
  const cs = getComputedStyle(views);
  const border = 2;  // each canvas's, top and bottom
  const least = least_line_height() + border;
  let room = views.clientHeight - parseFloat(cs.paddingTop) - parseFloat(cs.paddingBottom);
  // The minimap goes first, then the source panel gives up lines, before
  // the line view gives up lanes.
  const panel = document.getElementById('source-panel');
  const strip = document.getElementById('minimap');
  strip.hidden = false;
  let other = 0;
  for (const el of views.children) {
    if (el === panel || el === plan_canvas || el === line_canvas || el.hidden || el.id === 'overlay') continue;
    other += outer_height(el);
  }
  const panel_least = panel.hidden ? 0 : 54 + 6;
  if (room - other - least - 54 - panel_least < 0) {
    other -= outer_height(strip);
    strip.hidden = true;
  }
  if (!panel.hidden) {
    panel.style.maxHeight = Math.floor(clamp(room - other - least - 56 - 6, 54, 132)) + 'px';
    scroll_source_to_line();
  }
  for (const el of views.children) {
    if (el === plan_canvas || el === line_canvas || el.hidden || el.id === 'overlay') continue;
    room -= outer_height(el);
  }
  const plan = Math.max(54, Math.min(room * 0.4, room - least));
  const line = Math.max(least, room - plan);
  plan_canvas.style.height = Math.floor(plan) + 'px';
  line_canvas.style.height = Math.floor(line) + 'px';
}
