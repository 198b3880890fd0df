// The --json report of compile, check and plot: one object on stdout.
//
//   codice_errore     the failure code the run ended with, 0 for none
//   posizione_errore  the position in metres recorded with it
//   messaggi          [{codice, file, riga, posizione (number or null), testo}]
//   file_scritti      the paths written, in order
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/route_model.h"

namespace genera {

/// The report of the run in `f` as indented JSON text, ending in a newline.
std::string rapporto_json(const Form1& f, int32_t codice_errore,
                          const std::vector<std::string>& file_scritti);

}  // namespace genera
