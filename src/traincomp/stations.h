// Stations: each "stazione" record takes the next entry of `testata_linea`
// from entry 1 up, gets its area computed and, for kinds below 25, a stop
// cell at the end of its area with four approach markers before it.
#pragma once

#include <cstdint>

#include "linecomp/field_reader.h"
#include "model/diagnostics.h"
#include "model/route_model.h"

namespace genera {

/// How a station record ended.
enum class esito_stazione {
  registrata,     // stored; the reading goes on
  fuori_portata,  // code 15: too near the end of the grid, the soft stop
  rifiutata,      // codes 8, 9, 10, 22, 23, 24: the hard stop
};

/// Reads the sixteen numbers and the name of a station record from `r`
/// (the key already read) into entry `contatore_stazioni`, checking as it
/// goes, and advances the counter. Writes nothing when that entry would be
/// a board's; the stop cell and the markers only on the grid. On a stop it
/// records the code (and position, where one applies) in `f` and fills
/// `*err` (the caller adds file and line). Throws errore_esecuzione when
/// the grid does not exist, the record runs past the end, or a value does
/// not fit its Byte, Integer or Long field.
esito_stazione leggi_stazione(Form1& f, FieldReader& r, messaggio* err);

}  // namespace genera
