// The line's vertical and horizontal alignment: gradient records build the
// per-cell gradient profile of the grid, curve records build the plan, one
// point a metre. The two tails finish both after the last record.
//
// Every function here throws errore_esecuzione when the grid (or, for the
// plan, the plan) does not exist yet; none of them writes outside either.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/diagnostics.h"
#include "model/route_model.h"

namespace genera {

/// Gradient record at `p` metres with gradient `g`: writes the gradient in
/// force into the cells from the gradient cursor up to the record's own
/// cell (at least one cell when that cell is above 0), then puts `g` in force.
void record_pendenza(Form1& f, int32_t p, int32_t g);

/// Gradient tail: writes the gradient in force from the cursor up to cell
/// U - 3 (always at least one cell, never past U).
void coda_pendenze(Form1& f);

/// Sets the plan's points 0 and 1 to (0, 0) and (0, 1) and the plan cursor to 2.
void inizia_tracciato(Form1& f);

/// Curve record: `chiave` is the key field (class digit, "s" for left).
/// Continues the straight line to point `p`, then turns through points up
/// to `p` + `len`, stopping at the plan's last point. Returns false with
/// code 103 recorded in `f` and in `*err` when the key field holds no class
/// digit or the plan cursor passes 1000000.
bool record_curva(Form1& f, std::string_view chiave, int32_t p, int32_t len, messaggio* err);

/// Plan tail: continues the straight line up to the plan's third-last
/// point; the last two stay empty unless a curve reached them.
void coda_tracciato(Form1& f);

}  // namespace genera
