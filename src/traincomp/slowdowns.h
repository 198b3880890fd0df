// Temporary speed restrictions and code cuts: a "rallentamento" record
// marks its start, its end, a warning board 1200 m before the start and on
// request the four cells before the board; an "abbattimento" record marks
// one code cell.
//
// Each function throws errore_esecuzione when the grid does not exist. On
// a refused record it returns false, records the code and position in `f`
// and fills `*err` (code, position, text; the caller adds file and line).
#pragma once

#include <cstdint>

#include "model/diagnostics.h"
#include "model/route_model.h"

namespace genera {

/// Slowdown from `x` to `x` + `l` metres at speed `v`: start cell
/// round(x / 50 + 1) (kind 3), end cell round((x + l) / 50 + 1) (kind 2),
/// and when x > 1500 the warning board round((x - 1200) / 50 + 1) (kind 4)
/// and, when `f_ta` is not 0, the four cells from round((x - 1200) / 50)
/// back (kind 5). `f_tt` goes into start and end, `d_v` (when not 0) into
/// every cell. Refuses, writing nothing, a negative start or a start or end
/// outside the grid (code 23) and an occupied board, start or end (17, 18,
/// 19); refuses an occupied cell among the four (20) after writing the
/// other three cells.
bool memo_rallentamento(Form1& f, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v, messaggio* err);

/// Code cut at `p` metres with value `w`: cell round(p / 50) becomes a code
/// cell of value w when w > 0, a cut without value (kind 13) otherwise.
/// Refuses an occupied cell (code 7) and a cell outside the grid (code 23).
bool memo_abbattimento(Form1& f, int32_t p, int32_t w, messaggio* err);

}  // namespace genera
