// The train's two step profiles along the grid: the speed limit (in units
// of 5 km/h) and the rail adhesion. A record writes the value in force from
// the profile's cursor up to the cell before its own (one cell at least
// when its cell is above 0) and puts its own value in force; the tail fill
// carries the last value on to cell U - 3, writing one cell at least.
//
// Every function throws errore_esecuzione when the grid does not exist or
// when a speed's fifth that it writes does not fit a byte (-2 to 1277
// km/h). The cursors never pass U and no cell outside the grid is written;
// a record never writes cell U.
#pragma once

#include <cstdint>

#include "model/route_model.h"

namespace genera {

/// Speed record at `p` metres, `v` km/h: fills up to cell round(p / 50) - 1, then puts `v` in force.
void record_velocita(Form1& f, int32_t p, int32_t v);

/// Adhesion record at `p` metres: as record_velocita, writing the value's low 8 bits unchanged.
void record_aderenza(Form1& f, int32_t p, int32_t a);

/// Tail fill of both profiles, speed first, up to cell U - 3.
void coda_profili(Form1& f);

}  // namespace genera
