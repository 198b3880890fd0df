// The train half of the parse: reads the train source field by field,
// lays the train's records onto the compiled scenario and deletes the
// source on every path, at the moments the rules give.
//
// Reading starts after the first field holding "[generale]". A record that
// lies beyond the grid ends the reading with code 15 (the soft stop: the
// profiles are still completed and the progressives checked, code 2); a
// refused record ends it at once (the hard stop), and so does the first
// signal or slowdown while a code left earlier in the compile is set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "linecomp/source_reader.h"
#include "model/compiled_scenario.h"

namespace genera {

/// Reads the train source `testo` (named `nome` in reports) onto `s`, after
/// the line half; `prossimo_cartello` is the entry the next indicator board
/// would have taken. Gives `guasto` for a run-time failure, which the
/// caller records as code 25 (the train source is deleted first, whatever
/// that answers); a deletion that fails is a run-time failure too.
Esito leggi_sorgente_treno(std::string_view testo, const std::string& nome,
                           int32_t prossimo_cartello, ScenarioCompilato& s,
                           const EliminaSorgente& elimina);

}  // namespace genera
