// Temporary speed restrictions and code cuts. A "rallentamento" record marks
// its start round(x / 50 + 1) (kind 3), its end round((x + l) / 50 + 1)
// (kind 2) and, when x > 1500, a warning board round((x - 1200) / 50 + 1)
// (kind 4) and on request (f_ta not 0) the four cells from
// round((x - 1200) / 50) back (kind 5). An "abbattimento" record marks cell
// round(p / 50): a code cell of value w when w > 0, a cut (kind 13) else.
//
// Each function throws errore_esecuzione when the grid does not exist. A
// refused record returns false with the code and the position recorded in
// `f` and in `*err` (the caller adds file and line): 23 for a negative
// start or a start or end outside the grid, 17, 18 and 19 for a taken
// board, start or end cell (nothing written), 20 for a taken cell among
// the four (start, end and board stay written), 7 for a taken code-cut
// cell. Nothing is written outside the grid.
#pragma once

#include <cstdint>

#include "model/diagnostics.h"
#include "model/route_model.h"

namespace genera {

/// Slowdown record: speed `v` from `x` to `x` + `l` metres, `f_tt` in start and end, `d_v` when not 0.
bool memo_rallentamento(Form1& f, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v, messaggio* err);

/// Code-cut record at `p` metres with value `w`.
bool memo_abbattimento(Form1& f, int32_t p, int32_t w, messaggio* err);

}  // namespace genera
