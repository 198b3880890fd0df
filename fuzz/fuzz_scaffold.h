// What every fuzz target shares: a deletion hook that remembers what it
// was asked, and the checks that must hold after any compile.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "linecomp/source_reader.h"
#include "model/compiled_scenario.h"

namespace genera::fuzz {

/// Remembers which sources the compiler deleted; every deletion works.
struct Eliminazioni {
  bool linea = false;
  bool treno = false;
  EliminaSorgente hook() {
    return [this](QualeSorgente q) {
      (q == QualeSorgente::linea ? linea : treno) = true;
      return std::string();
    };
  }
};

/// The plan flag for an input: set for one input size in sixteen. Building
/// the plan costs a metre-by-metre walk of the whole line, which would take
/// most executions away from the readers' own paths; sizes change with
/// almost every mutation, so both sides stay well explored.
inline bool piano_per(std::size_t size) { return size % 16 == 0; }

/// Stops the fuzzer with a finding when `ok` is false.
inline void verifica(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

/// The model's own bounds: the grid, its origins and the plan agree.
inline void verifica_modello(const ScenarioCompilato& s) {
  verifica(s.origini.celle.size() == s.percorso.size(), "one origin per cell");
  if (s.tracciato.presente()) {
    verifica(s.tracciato.x.size() == s.tracciato.y.size(), "plan columns agree");
    verifica(s.tracciato.righe_valide() <= s.tracciato.righe, "plan rows in range");
  }
  for (const auto& c : s.origini.celle)
    for (IdRecord id : {c.oggetto, c.avviso, c.galleria, c.velocita, c.pendenza, c.aderenza})
      verifica(id < s.origini.record.size(), "origin names a record");
}

}  // namespace genera::fuzz
