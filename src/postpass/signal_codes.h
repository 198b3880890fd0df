// The signal-code post-pass: one walk over the grid that adds code cells
// around the slowdowns and in front of the signals near them.
#pragma once

#include "model/route_model.h"

namespace genera {

/// The smaller of x and y; x on a tie.
double minimo(double x, double y);

/// Walks cells 1 to U - 2 once and places the code cells. Where no free
/// cell is left it records code 11, 12 or 13 with its position and adds a
/// message; it never moves or removes anything.
void aggiungi_codici(Form1& f);

}  // namespace genera
