// The train's two step profiles along the grid: the speed limit (in units
// of 5 km/h) and the rail adhesion. A record writes the value in force from
// the profile's cursor up to the cell before its own (one cell at least
// when its cell is above 0) and puts its own value in force; the tail fill
// carries the last value on to cell U - 3, writing one cell at least.
//
// Every function expects the grid to exist. A speed whose fifth does not
// fit a byte (-2 to 1277 km/h) is a run-time failure (code 25) when it is
// to be written. The cursors never pass U and no cell outside the grid is
// written; a record never writes cell U.
#pragma once

#include <cstdint>
#include <optional>

#include "model/compiled_scenario.h"

namespace genera {

/// One profile being built: the first cell not yet written, and the value
/// in force (0 before the first record) with the record it comes from.
struct StatoProfilo {
  int32_t cursore = 0;
  int32_t corrente = 0;
  IdRecord origine = 0;
  int colonna = 0;  // the column of the value in force in its record, for the blame
};

/// Speed record at `p` metres, `v` km/h: fills up to cell round(p / 50) - 1, then puts `v` in
/// force.
Esito record_velocita(ScenarioCompilato& s, StatoProfilo& st, int32_t p, int32_t v, IdRecord id);

/// Adhesion record at `p` metres: as record_velocita, writing the value's low 8 bits unchanged.
void record_aderenza(ScenarioCompilato& s, StatoProfilo& st, int32_t p, int32_t a, IdRecord id);

/// Tail fill of both profiles, speed first, up to cell U - 3.
Esito coda_profili(ScenarioCompilato& s, StatoProfilo& velocita, StatoProfilo& aderenza);

}  // namespace genera
