// The --json report of compile, check and plot: one object on stdout.
//
//   codice_errore     the failure code the run ended with, 0 for none
//   posizione_errore  the position in metres recorded with it
//   messaggi          [{codice, file, riga, colonna, posizione (number or null), testo,
//                      gravita ("errore", "avviso", "nota"), note: [the same keys]}]
//   file_scritti      the paths written, in order
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/compiled_scenario.h"

namespace genera {

/// The report of the compile `s`, ended by `codice_errore`, as indented
/// JSON text ending in a newline.
std::string rapporto_json(const ScenarioCompilato& s, Codice codice_errore,
                          const std::vector<std::string>& file_scritti);

}  // namespace genera
