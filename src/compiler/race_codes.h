// The race codes: a plain and a weighted character sum of the train code
// and the line name, stamped next to two fixed markers into reserved slots.
#pragma once

#include <array>
#include <cstdint>

#include "model/compiled_scenario.h"

namespace genera {

inline constexpr int16_t marcatore_st = 610;   // testata_linea entry 85 intero1
inline constexpr int16_t marcatore_og = 5121;  // percorso cell 1 valore1

/// Sum of the character codes of the 25-character race text, taken from
/// entry 86 `nome` (the train code) and entry 85 `nome` (the line name).
int32_t codice_gara_og(const std::array<voce_testata, kVociTestata>& testata);

/// Sum of position x character code over the 25-character race text.
int32_t codice_gara_st(const std::array<voce_testata, kVociTestata>& testata);

/// Stamps markers and codes. Gives nessuno, or marcatori_occupati /
/// codici_gara_occupati (1250 / 1251) when a slot was already taken (then
/// nothing more is stamped). A grid too small to have a cell 1 (no length
/// record was read) gets no stamp; the table does.
Codice timbra_codici_gara(ScenarioCompilato& s);

}  // namespace genera
