// The signal-code post-pass: one walk over cells 1 to U - 2 that places
// code cells (kind 12, value 180) in front of the signals up to 20 cells
// before a slowdown warning board, in the kilometre before each slowdown's
// start, every 8 cells along a slowdown slower than 110 km/h, and in front
// of the first signal within 12 cells after its end.
//
// Codes go only onto free cells; nothing is moved or removed, and no cell
// outside the grid is read or written. Where no cell is free the pass
// records code 11, 12 or 13 with its position and adds a diagnostic naming
// the train source. Each code cell it places names its slowdown as origin.
#pragma once

#include <string>

#include "model/compiled_scenario.h"

namespace genera {

/// The smaller of x and y; x on a tie.
double minimo(double x, double y);

/// Places the code cells of the whole grid; `sorgente_treno` names the
/// train source in the diagnostics.
void aggiungi_codici(ScenarioCompilato& s, const std::string& sorgente_treno);

}  // namespace genera
