// The three kilometric progressives of the line header (entries 81 to 83
// of `testata_linea`): their fixed order and the check the train half
// makes at its end.
#pragma once

#include "model/route_model.h"

namespace genera {

// The addition of 100 throws errore_esecuzione when it leaves 32 bits.
/// Orders entries 81 to 83 (largest first value in 81) and adds 100 where the third value is 1.
void progressive_ordina(Form1& f);

/// True when the first two values of entries 81 to 83 are multiples of 50 (else: code 2).
bool progressive_valide(const Form1& f);

}  // namespace genera
