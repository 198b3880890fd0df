// The train's two step profiles along the grid: the speed limit (in units
// of 5 km/h) and the rail adhesion. Each record writes the value in force
// up to its own cell and puts its value in force; the tail fill carries the
// last value on to cell U - 3.
//
// Every function here throws errore_esecuzione when the grid does not exist
// or when a speed's fifth does not fit a byte; none writes outside the grid.
#pragma once

#include <cstdint>

#include "model/route_model.h"

namespace genera {

/// Speed record at `p` metres, `v` km/h: writes the speed in force from the
/// speed cursor up to cell round(p / 50) - 1 (one cell at least when that
/// cell index is above 0, never cell U), then puts `v` in force.
void record_velocita(Form1& f, int32_t p, int32_t v);

/// Adhesion record at `p` metres, value `a`: as record_velocita, with the
/// adhesion's low 8 bits written unchanged.
void record_aderenza(Form1& f, int32_t p, int32_t a);

/// Tail fill of both profiles, speed first: writes the value in force from
/// each cursor up to cell U - 3 (one cell at least, never past U).
void coda_profili(Form1& f);

}  // namespace genera
