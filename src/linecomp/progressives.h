// The three kilometric progressives of the line header (entries 81 to 83
// of `testata_linea`): their fixed order and the check the train half
// makes at its end.
#pragma once

#include "model/route_model.h"

namespace genera {

/// Orders entries 81 (T), 82 (D) and 83 (U) by their first value, largest
/// in 81; when the first values sum to 0 the second values pick entry 81;
/// a tie for the largest, or no positive second value, clears all nine.
/// Then adds 100 to the second value of every entry whose third is 1.
/// Throws errore_esecuzione when that addition leaves 32 bits.
void progressive_ordina(Form1& f);

/// True when the first and second values of entries 81 to 83 are all
/// multiples of 50 (the train half records code 2 otherwise).
bool progressive_valide(const Form1& f);

}  // namespace genera
