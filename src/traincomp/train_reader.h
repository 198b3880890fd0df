// The train half of memorizza_dati: reads the train source back field by
// field, lays the train's records onto the route model and deletes it.
#pragma once

#include "model/route_model.h"

namespace genera {

/// Reads `f.sorgente_treno` through `f.file_system` onto the model, after
/// the line half. Every code recorded is also added to `f.messaggi`.
/// Throws errore_esecuzione for the failures that memorizza_dati records
/// as code 25.
void leggi_sorgente_treno(Form1& f);

}  // namespace genera
