// Objects laid along the line by the line source: tunnels, speed-indicator
// boards and indicator boards with a text.
//
// Each function throws errore_esecuzione when the grid does not exist yet
// or when a board's cell lies before the grid's first cell; none of them
// writes outside the grid or the tables. On a refused record the function
// returns false, records the code and position in `f` and fills `*err`
// (code, position, text; the caller adds the file and line).
#pragma once

#include <cstdint>
#include <string>

#include "model/diagnostics.h"
#include "model/route_model.h"

namespace genera {

/// Tunnel from `inizio` to `fine` metres of kind `tipo` (above 10: lit,
/// kind `tipo` - 10, a marker on every fourth free cell). Marks the cells
/// round(inizio / 50) to round(fine / 50 - 1) that lie on the grid. A
/// tunnel starting 150 m or less after the previous one ends gets kind 3.
/// Refuses an 81st tunnel with code 104.
bool memo_montagna(Form1& f, int32_t inizio, int32_t fine, int32_t tipo, messaggio* err);

/// Speed-indicator board at `posizione` with the s and d groups of speeds
/// and stripes, packed into cell round(posizione / 50 + 1). Refuses an
/// occupied cell with code 21; throws errore_esecuzione when a packed
/// speed does not fit 16 bits.
bool memo_indicatori_v_max(Form1& f, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                           int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int32_t strisced, messaggio* err);

/// Indicator board at `p` with text `testo`: cell round(p / 50 + 1) points
/// at entry `prossimo_cartello`, which takes the text; the counter then
/// goes down by one. Refuses an occupied cell with code 6 and a board
/// beyond the 80th (no entry left above 0) with code 105.
bool cartello_indicatore(Form1& f, int32_t p, const std::string& testo, messaggio* err);

}  // namespace genera
