// Drawing, the wiring of the controls, the first draw, and the hooks for
// the browser tests and the benchmark.

function draw() {
  redraw_pending = false;
  draw_line();
  draw_plan();
  draw_minimap();
  document.getElementById('line-caption').textContent =
    'km ' + km(range.from, 2) + ' to ' + km(range.to, 2) + ' \u00b7 Ctrl + wheel or +/\u2212 zooms, drag or arrows pan, F fits';
  write_hash();
  if (first_draw_ms === null) {
    first_draw_ms = performance.now();
    performance.mark('genera-first-draw');
  }
}


function schedule() {
  if (redraw_pending) return;
  redraw_pending = true;
  requestAnimationFrame(draw);
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
// Printing lays the page out again: drawn to the paper's sizes at once.
window.addEventListener('beforeprint', () => { fit_canvases(); draw(); });
window.addEventListener('afterprint', refit);
if (window.matchMedia) matchMedia('print').addEventListener('change', refit);
if (window.ResizeObserver) new ResizeObserver(refit).observe(document.getElementById('views'));
document.getElementById('source-close').addEventListener('click', close_source);
document.getElementById('source-copy').addEventListener('click', copy_where);
document.getElementById('side-toggle').addEventListener('click', () => {
  const open = document.body.classList.toggle('side-open');
  document.getElementById('side-toggle').setAttribute('aria-expanded', String(open));
});

fill_layers();
fill_legend();
fill_lists();
show_state();
fit_canvases();
set_range(0, model.extent);
read_hash();
window.addEventListener('hashchange', () => { if (location.hash !== hash_written) { read_hash(); fit_canvases(); schedule(); } });
document.getElementById('search-form').addEventListener('submit', (e) => {
  e.preventDefault();
  search(document.getElementById('search').value);
});
document.getElementById('export-png').addEventListener('click', export_png);
document.getElementById('export-svg').addEventListener('click', export_svg);
document.getElementById('print').addEventListener('click', () => window.print());
draw();
if (config.servita) start_live();

// For the browser tests and the benchmark: where things are drawn.
const to_client = (canvas, p) => {
  const r = canvas.getBoundingClientRect();
  return {x: r.left + p.x, y: r.top + p.y};
};
window.genera_viewer = {
  range: () => [range.from, range.to],
  set_range: (a, b) => { set_range(a, b); draw(); },
  version: () => model.versione,
  search: (q) => { const f = search(q); return f ? f.metre : null; },
  step: (n) => { const f = step_object(n); return f ? f.m : null; },
  export_png: () => export_png(),
  export_svg: () => export_svg(),
  state: () => (model.stato ? model.stato.esito : null),
  stations: () => model.stazioni.map((s) => s.nome),
  first_draw_ms: () => first_draw_ms,
  // A draw still waiting for its frame is made first: what is asked for
  // is what the page shows once it has caught up.
  drawn: () => { flush_draw(); return {line: line_frame.drawn, plan: plan_frame.drawn}; },
  labels: () => { flush_draw(); return {line: line_frame.labels, plan: plan_frame.labels}; },
  lanes: () => line_frame.lanes.map((l) => ({id: l.id, top: l.top, height: l.height, min: l.min})),
  axis: () => ({top: line_frame.axis_top, bottom: line_frame.axis_top + kAxisHeight}),
  line_size: () => [line_frame.w, line_frame.h],
  lane_point: (id, m) => {
    const lane = line_frame.lanes.find((l) => l.id === id);
    return lane ? to_client(line_canvas, {x: line_frame.x_of(m), y: lane.top + lane.height / 2}) : null;
  },
  // On the curve of profile `name` (pendenza, velocita, aderenza) at `m`.
  profile_point: (name, m) => {
    const lane = line_frame.lanes.find((l) => l.y_of && l.y_of[name]);
    const v = profile_value(name, m);
    return lane && v !== null ? to_client(line_canvas, {x: line_frame.x_of(m), y: lane.y_of[name](v)}) : null;
  },
  plan_point: (m) => {
    const p = plan_frame.at_metre ? plan_frame.at_metre(m) : null;
    return p ? to_client(plan_canvas, p) : null;
  },
};
