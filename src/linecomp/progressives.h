// The three kilometric progressives of the line header (entries 81 to 83
// of `testata_linea`): their fixed order and the check the train half
// makes at its end.
#pragma once

#include <array>
#include <optional>

#include "model/compiled_scenario.h"

namespace genera {

/// Orders entries 81 to 83 (largest first value in 81) and adds 100 where the third value is 1.
/// Gives a run-time failure (code 25) when the addition leaves 32 bits.
Esito progressive_ordina(ScenarioCompilato& s);

/// True when the first two values of entries 81 to 83 are multiples of 50 (else: code 2).
bool progressive_valide(const std::array<voce_testata, kVociTestata>& testata);

}  // namespace genera
