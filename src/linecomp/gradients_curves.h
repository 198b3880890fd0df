// The line's vertical and horizontal alignment: gradient records build the
// per-cell gradient profile of the grid, curve records build the plan, one
// point a metre. The two tails finish both after the last record.
//
// Every function expects the grid (for the plan functions: the plan) to
// exist. None of them writes outside the grid or the plan, whatever the
// order or size of the positions.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "model/compiled_scenario.h"

namespace genera {

/// The gradient profile being built: the first cell not yet written, and
/// the value in force with the record it comes from.
struct StatoPendenze {
  int32_t cursore = 0;
  int32_t corrente = 0;
  IdRecord origine = 0;
};

/// The next plan row to compute.
struct StatoTracciato {
  int32_t cursore = 2;
};

/// Gradient record (p, g): fills cells from the cursor up to round(p / 50), then puts g in force.
void record_pendenza(ScenarioCompilato& s, StatoPendenze& st, int32_t p, int32_t g, IdRecord id);

/// Gradient tail: fills cells from the cursor to U - 3, always at least one cell (never past U).
void coda_pendenze(ScenarioCompilato& s, StatoPendenze& st);

/// Sets the cursor to 2 and, when the plan has rows, rows 0 and 1 to (0, 0) and (0, 1).
void inizia_tracciato(tracciato_linea& t, StatoTracciato& st);

/// Curve record (key field, p, len); code 103 for a key with no class digit or a plan past
/// 1,000,000 m.
Esito record_curva(ScenarioCompilato& s, StatoTracciato& st, std::string_view chiave, int32_t p,
                   int32_t len, IdRecord id);

/// Plan tail: continues the straight line to the plan's third-last row.
void coda_tracciato(tracciato_linea& t, StatoTracciato& st);

}  // namespace genera
