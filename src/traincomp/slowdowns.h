// Temporary speed restrictions and code cuts. A "rallentamento" record marks
// its start round(x / 50 + 1) (kind 3), its end round((x + l) / 50 + 1)
// (kind 2) and, when x > 1500, a warning board round((x - 1200) / 50 + 1)
// (kind 4) and on request (f_ta not 0) the four cells from
// round((x - 1200) / 50) back (kind 5). An "abbattimento" record marks cell
// round(p / 50): a code cell of value w when w > 0, a cut (kind 13) else.
//
// Each function expects the grid to exist. A refused record gives its
// refusal: 23 for a negative start or a start or end outside the grid, 17,
// 18 and 19 for a taken board, start or end cell (nothing written), 20 for
// a taken cell among the four (start, end and board stay written), 7 for a
// taken code-cut cell. Nothing is written outside the grid. A slowdown whose
// end cell is not after its start cell is laid as the rules lay it, and
// reported as error 113 of our own: the outcome the rules record is kept.
#pragma once

#include <cstdint>

#include <optional>

#include "model/compiled_scenario.h"

namespace genera {

/// Slowdown record: speed `v` from `x` to `x` + `l` metres, `f_tt` in start and end, `d_v` when not
/// 0.
Esito memo_rallentamento(ScenarioCompilato& s, int32_t x, int32_t v, int32_t l, int32_t f_tt,
                         int32_t f_ta, int32_t d_v, IdRecord id);

/// Once the speed profile is laid: a warning at each slowdown faster than the speed limit in
/// force at its start cell.
void confronta_velocita_limite(ScenarioCompilato& s);

/// Code-cut record at `p` metres with value `w`.
Esito memo_abbattimento(ScenarioCompilato& s, int32_t p, int32_t w, IdRecord id);

}  // namespace genera
