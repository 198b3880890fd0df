// The line half of memorizza_dati: reads the line source back field by
// field, lays the line onto the route model and deletes the source.
#pragma once

#include "model/route_model.h"

namespace genera {

/// Reads `f.sorgente_linea` through `f.file_system` onto the model.
/// Returns true when the train source is to be read next (a normal end or
/// the soft stop, code 15) and false when the parse has ended (codes 101,
/// 102, 1, 3, 4, 5, 103, 6, 21 and the table limits). Every code recorded
/// is also added to `f.messaggi`. Throws errore_esecuzione for the
/// failures that memorizza_dati records as code 25.
bool leggi_sorgente_linea(Form1& f);

}  // namespace genera
