// `plot`: one SVG picture of a compiled scenario, the plan of the line
// above and the profiles along the distance below.
#pragma once

#include <string>

#include "model/compiled_scenario.h"

namespace genera {

/// The picture of the compiled scenario `f` (built with the plan): the plan
/// with stations, tunnels and signals; gradient, speed limit and adhesion
/// along the line with stations, slowdowns and code cells; axes in km and a
/// legend. Any model is drawn, however incomplete; nothing is read or written.
std::string disegna_svg(const ScenarioCompilato& f);

}  // namespace genera
