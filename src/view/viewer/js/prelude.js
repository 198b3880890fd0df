// The page's configuration, its constants and the state every part shares.

const config = JSON.parse(document.getElementById('genera-config').textContent);
const kMinSpan = 100;        // metres: the closest the view zooms
const kLineLeft = 132;       // the line view's left margin, for lane titles and values
const kLineRight = 46;       // room for the speed limit's values
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
// A profile lane draws one curve per layer switched on: gradient and speed
// limit share one, as on a track chart, each with its own scale (the
// gradient's in the left margin, the speed limit's in the right).
const kLanes = [
  {id: 'diagnostics', title: 'diagnostics', height: 22, min: 16},
  {id: 'stations', title: 'stations', height: 50, min: 34},
  {id: 'signals', title: 'signals, codes', height: 30, min: 26},
  {id: 'boards', title: 'boards', height: 48, min: 32},
  {id: 'tunnels', title: 'tunnels', height: 26, min: 20},
  {id: 'slowdowns', title: 'slowdowns', height: 38, min: 34},
  {id: 'curves', title: 'curves', height: 30, min: 20},
  {id: 'profile', title: 'gradient and speed limit', height: 176, min: 64, curves: [
    {layer: 'gradient', profile: 'pendenza', title: 'gradient', unit: '\u2030', colour: 'gradient', side: 'left', fill: true},
    {layer: 'speed', profile: 'velocita', title: 'speed limit', unit: 'km/h', colour: 'speed', side: 'right'}]},
  {id: 'adhesion', title: 'adhesion', height: 76, min: 32, curves: [
    {layer: 'adhesion', profile: 'aderenza', title: 'adhesion', unit: '%', colour: 'adhesion', side: 'left'}]},
];
const kLayers = [
  {id: 'diagnostics', name: 'Diagnostics', colour: 'error', on: true},
  {id: 'stations', name: 'Stations', colour: 'station', on: true},
  {id: 'signals', name: 'Signals and code cells', colour: 'signal', on: true},
  {id: 'markers', name: 'Approach markers', colour: 'marker', on: false},
  {id: 'boards', name: 'Boards', colour: 'board', on: true},
  {id: 'tunnels', name: 'Tunnels', colour: 'tunnel', on: true},
  {id: 'slowdowns', name: 'Slowdowns', colour: 'slowdown', on: true},
  {id: 'curves', name: 'Curves', colour: 'curve_right', on: true},
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
