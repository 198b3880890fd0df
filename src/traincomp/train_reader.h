// The train half of memorizza_dati: reads the train source back field by
// field, lays the train's records onto the route model and deletes it.
//
// Reading starts after the first field holding "[generale]". A record that
// lies beyond the grid ends the reading with code 15 (the soft stop: the
// profiles are still completed and the progressives checked, code 2); a
// refused record ends it at once (the hard stop), and so does the first
// signal or slowdown while a code left earlier in the run is set. Every
// code recorded is also added to `f.messaggi`. Throws errore_esecuzione,
// with the line of the record being read, for the failures memorizza_dati
// records as code 25. The train source is deleted on every path.
#pragma once

#include "model/route_model.h"

namespace genera {

/// Reads `f.sorgente_treno` through `f.file_system` onto the model, after the line half.
void leggi_sorgente_treno(Form1& f);

}  // namespace genera
