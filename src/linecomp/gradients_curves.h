// The line's vertical and horizontal alignment: gradient records build the
// per-cell gradient profile of the grid, curve records build the plan, one
// point a metre. The two tails finish both after the last record.
//
// The record and tail functions throw errore_esecuzione when the grid (for
// the plan: the plan) does not exist yet. None of them writes outside the
// grid or the plan, whatever the order or size of the positions.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/diagnostics.h"
#include "model/route_model.h"

namespace genera {

/// Gradient record (p, g): fills cells from the cursor up to round(p / 50), then puts g in force.
void record_pendenza(Form1& f, int32_t p, int32_t g);

/// Gradient tail: fills cells from the cursor to U - 3, always at least one cell (never past U).
void coda_pendenze(Form1& f);

/// Sets the plan cursor to 2 and, when the plan exists, points 0 and 1 to (0, 0) and (0, 1).
void inizia_tracciato(Form1& f);

/// Curve record (key field, p, len); false with code 103 in `f` and `*err` on a bad class or cursor.
bool record_curva(Form1& f, std::string_view chiave, int32_t p, int32_t len, messaggio* err);

/// Plan tail: continues the straight line to the plan's third-last point.
void coda_tracciato(Form1& f);

}  // namespace genera
