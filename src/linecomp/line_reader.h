// The line half of the parse: reads the line source field by field, lays
// the line onto the compiled scenario and deletes the source at the
// moments the rules give.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "linecomp/source_reader.h"
#include "model/compiled_scenario.h"

namespace genera {

/// Reads the line source `testo` (named `nome` in reports) onto `s`; the
/// plan is built when `con_tracciato`. Gives `continua` when the train
/// source is to be read next (a normal end or the soft stop, code 15),
/// `fine_dura` when the parse has ended with a code recorded (102, 1, 3,
/// 4, 5, 103, 6, 21, 104, 105), and `guasto` for a run-time failure, which
/// the caller records as code 25. `elimina` is called for the line source
/// where the rules delete it; a deletion that fails is a run-time failure.
/// `prossimo_cartello` gets the entry the next indicator board would take.
Esito leggi_sorgente_linea(std::string_view testo, const std::string& nome, bool con_tracciato,
                           ScenarioCompilato& s, const EliminaSorgente& elimina,
                           int32_t& prossimo_cartello);

}  // namespace genera
