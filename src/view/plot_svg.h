// `plot`: one SVG picture of a compiled scenario, the plan of the line
// above and the profiles along the distance below.
#pragma once

#include <string>

#include "model/compiled_scenario.h"

namespace genera {

/// The picture of the compiled scenario `f` (built with the plan): the plan
/// with stations, tunnels, signals and the line's end; along the line, each
/// in a lane of its own, stations, signals and code cells, both kinds of
/// board, tunnels lit or not and slowdowns; under them gradient (per mille),
/// speed limit (km/h) and adhesion (%). The distance axis ends at the grid's
/// end, the tail after the line's end shaded. Labels that would cover each
/// other are left out. Any model is drawn, however incomplete; nothing is
/// read or written.
std::string disegna_svg(const ScenarioCompilato& f);

}  // namespace genera
