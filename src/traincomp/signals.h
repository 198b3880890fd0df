// Lineside signals: a "segnale" record packs its eleven values into the
// cell after the one holding its position (round(posizione / 50 + 1)) and
// writes approach markers into cells s - 2, s - 4, s - 6 and s - 8; the
// markers that would fall before cell 0 are skipped.
//
// memo_segnale expects the grid to exist. A refused signal writes nothing:
// 16 for a taken cell, 23 for a cell outside the grid.
#pragma once

#include <cstdint>

#include <optional>

#include "model/compiled_scenario.h"

namespace genera {

/// The eleven values of a "segnale" record, in the record's order.
struct ValoriSegnale {
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

/// Places signal `v` and its markers; raises a `tempo` of 1 to 100 to 101, in `v` too.
Esito memo_segnale(ScenarioCompilato& s, ValoriSegnale& v, IdRecord id);

}  // namespace genera
