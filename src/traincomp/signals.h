// Lineside signals: a "segnale" record packs its eleven values into the
// cell after the one holding its position and marks four approach cells
// before it, 100 m apart.
#pragma once

#include <cstdint>

#include "model/diagnostics.h"
#include "model/route_model.h"

namespace genera {

/// The eleven values of a "segnale" record, in the record's order.
struct valori_segnale {
  int32_t posizione = 0;
  int32_t sx = 0;
  int32_t s1 = 0;
  int32_t s2 = 0;
  int32_t s3 = 0;
  int32_t rapp = 0;
  int32_t dx = 0;
  int32_t d1 = 0;
  int32_t d2 = 0;
  int32_t d3 = 0;
  int32_t tempo = 0;
};

/// Places the signal in cell round(posizione / 50 + 1) and writes the
/// approach markers into cells s - 2, s - 4, s - 6, s - 8 that lie on the
/// grid. Raises a `tempo` of 1 to 100 to 101 (in `s` too). On an occupied
/// cell (code 16) or a cell outside the grid (code 23) it writes nothing,
/// records the code and position in `f`, fills `*err` and returns false.
/// Throws errore_esecuzione when the grid does not exist.
bool memo_segnale(Form1& f, valori_segnale& s, messaggio* err);

}  // namespace genera
