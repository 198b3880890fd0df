// Stations: each "stazione" record takes entry `contatore_stazioni` of
// `testata_linea` (1, 2, 3, ... in file order), gets its area computed and,
// for kinds below 25, a stop cell at the end of its area with four approach
// markers before it (none for kinds 5 and 6, none at cell 1 or below).
//
// The record is read and checked as it goes: a stop records its code (and
// the station's position where one applies) in `f` and in `*err` (the
// caller adds file and line): 15 (soft) when the station lies too near the
// end of the grid; 8, 9, 22, 24 and 10 (hard) as the station rules say; 23
// (hard, before any cell) for a stop cell beyond the grid; and 10 before
// anything is written when the entry would be an indicator board's. Throws
// errore_esecuzione when the grid does not exist, the record runs past the
// end, or a value does not fit its Byte, Integer or Long field.
#pragma once

#include <cstdint>

#include "linecomp/field_reader.h"
#include "model/diagnostics.h"
#include "model/route_model.h"

namespace genera {

/// How a station record ended.
enum class esito_stazione {
  registrata,     // stored; the reading goes on
  fuori_portata,  // code 15: the soft stop
  rifiutata,      // any other code: the hard stop
};

/// Reads the values of a station record (after its key) from `r` and stores the station.
esito_stazione leggi_stazione(Form1& f, FieldReader& r, messaggio* err);

}  // namespace genera
