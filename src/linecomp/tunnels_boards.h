// Objects laid along the line by the line source: tunnels, speed-indicator
// boards and indicator boards with a text.
//
// Each function expects the grid to exist. A refused record writes nothing
// and gives the refusal: 104 for a tunnel beyond the 80th, 21 and 6 for a
// board on a taken cell, 105 for an indicator board beyond the 80th; 25 for
// a board whose cell lies outside the grid or a packed speed that does not
// fit 16 bits. Nothing is written outside the grid or the tables.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "model/compiled_scenario.h"

namespace genera {

/// The tunnels met so far, kept for the spacing rule; index 0 unused.
struct StatoGallerie {
  int32_t numero = 0;
  std::array<int32_t, kMaxGallerie + 1> inizi{};
  std::array<int32_t, kMaxGallerie + 1> fini{};
};

/// Tunnel record: marks the tunnel's cells that lie on the grid (lit kinds above 10 add markers).
Esito memo_montagna(ScenarioCompilato& s, StatoGallerie& g, int32_t inizio, int32_t fine,
                    int32_t tipo, IdRecord id);

/// The nine values of a speed-indicator board record, in the record's order.
struct ValoriIndicatore {
  int32_t posizione = 0;
  int32_t vas = 0, vbs = 0, vcs = 0, strisces = 0;
  int32_t vad = 0, vbd = 0, vcd = 0, strisced = 0;
};

/// Speed-indicator board record: packs both speed groups into cell round(posizione / 50 + 1).
Esito memo_indicatori_v_max(ScenarioCompilato& s, const ValoriIndicatore& v, IdRecord id);

/// Indicator board record: cell round(p / 50 + 1) and entry `prossimo_cartello` take the text;
/// `prossimo_cartello` then counts down.
Esito cartello_indicatore(ScenarioCompilato& s, int32_t& prossimo_cartello, int32_t p,
                          const std::string& testo, IdRecord id);

}  // namespace genera
