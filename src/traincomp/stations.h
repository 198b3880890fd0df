// Stations: each "stazione" record takes entry `contatore` of
// `testata_linea` (1, 2, 3, ... in file order), gets its area computed and,
// for kinds below 25, a stop cell at the end of its area with four approach
// markers before it (none for kinds 5 and 6, none at cell 1 or below).
//
// The record is read, then laid; reading checks each value as the rules do
// before the next is read. A stop records its code (and the station's
// position where one applies): 15 (soft) when the station lies too near the
// end of the grid; 8, 9, 22, 24 and 10 (hard) as the station rules say; 23
// (hard, before any cell) for a stop cell beyond the grid; and 10 before
// anything is written when the entry would be an indicator board's. A
// record that runs past the end, or a value that does not fit its Byte,
// Integer or Long field, is a run-time failure.
#pragma once

#include <cstdint>

#include "linecomp/source_reader.h"
#include "model/compiled_scenario.h"

namespace genera {

/// Reads the values of a station record (after its key) through `r` and
/// stores the station in entry `contatore`, which then counts on.
Esito leggi_stazione(LettoreSorgente& r, ScenarioCompilato& s, int32_t& contatore,
                     int32_t prossimo_cartello);

}  // namespace genera
