// Objects laid along the line by the line source: tunnels, speed-indicator
// boards and indicator boards with a text.
//
// Each function throws errore_esecuzione when the grid does not exist yet,
// when a board's cell lies outside the grid, or when a packed speed does
// not fit 16 bits. A refused record returns false with the code and the
// position recorded in `f` and in `*err` (the caller adds file and line):
// 104 for a tunnel beyond the 80th, 21 and 6 for a board on a taken cell,
// 105 for an indicator board beyond the 80th. Nothing is written outside
// the grid or the tables.
#pragma once

#include <cstdint>
#include <string>

#include "model/diagnostics.h"
#include "model/route_model.h"

namespace genera {

/// Tunnel record: marks the tunnel's cells that lie on the grid (lit kinds above 10 add markers).
bool memo_montagna(Form1& f, int32_t inizio, int32_t fine, int32_t tipo, messaggio* err);

/// Speed-indicator board record: packs both speed groups into cell round(posizione / 50 + 1).
bool memo_indicatori_v_max(Form1& f, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                           int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int32_t strisced, messaggio* err);

/// Indicator board record: cell round(p / 50 + 1) and entry `prossimo_cartello` take the text.
bool cartello_indicatore(Form1& f, int32_t p, const std::string& testo, messaggio* err);

}  // namespace genera
