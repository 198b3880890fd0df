// The compiler: two sources in, the compiled scenario out.
//
// compila is a function of its arguments: it reads no file, writes none,
// ends nothing and keeps no state, so it can run any number of times in
// one process, from several threads at once. The one effect the rules tie
// into the parse, deleting a source at fixed moments, is the caller's: the
// compiler calls `elimina` at those moments and acts on its answer (a
// deletion that fails is code 25 and ends the parse).
#pragma once

#include <string>
#include <string_view>

#include "linecomp/source_reader.h"
#include "model/compiled_scenario.h"

namespace genera {

/// One source as its driver found it.
struct Sorgente {
  std::string nome;         // how reports name it: a file name or a path
  bool presente = false;    // false: no such file
  std::string_view testo;   // its bytes; must outlive the call
  std::string illeggibile;  // when present but unreadable: why (then `testo` is unused)
};

struct OpzioniCompilazione {
  std::string nome_linea;     // stored in entry 85, summed by the race codes
  std::string codice_treno;   // stored in entry 86, summed by the race codes
  bool con_tracciato = true;  // build the plan (and read the curve records)
};

/// Both readers (line source first), the signal-code post-pass and the
/// race codes, as one build does them.
ScenarioCompilato compila(const Sorgente& linea, const Sorgente& treno,
                          const OpzioniCompilazione& opzioni, const EliminaSorgente& elimina);

/// The hook of a compile that must leave the sources alone: deletes
/// nothing and answers that it worked.
std::string non_eliminare(QualeSorgente);

}  // namespace genera
