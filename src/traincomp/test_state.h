// Test support: a compiled scenario as the line half leaves it (grid of
// 89000 m, U = 1920), a reading of the train source held in memory, and a
// deletion hook that notes the sources it was asked to delete.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "linecomp/source_reader.h"
#include "model/compiled_scenario.h"
#include "traincomp/train_reader.h"

namespace genera {

struct StatoTreno {
  static constexpr const char* kNome = "LIVRA_MONTALBA_R47316-.txt";

  explicit StatoTreno(int32_t lunghezza = 89000, int32_t prossimo_cartello = kPrimoCartello)
      : prossimo_cartello(prossimo_cartello) {
    const auto celle = static_cast<std::size_t>(celle_percorso(lunghezza));
    s.percorso.assign(celle, cella_percorso{});
    s.origini.celle.assign(celle, OrigineCella{});
    s.testata_linea[kVoceTreno].dato2 = lunghezza;
  }

  /// Reads `testo` as the train source; the hook deletes it successfully.
  /// What the reading answered is kept in `esito`.
  const Esito& leggi(const std::string& testo) {
    const EliminaSorgente elimina = [this](QualeSorgente q) {
      eliminate.push_back(q);
      return std::string();
    };
    esito = leggi_sorgente_treno(testo, kNome, prossimo_cartello, s, elimina);
    return esito;
  }

  /// True when the reading deleted the train source.
  bool sorgente_eliminata() const {
    return std::find(eliminate.begin(), eliminate.end(), QualeSorgente::treno) != eliminate.end();
  }
  cella_percorso& cella(int32_t k) { return s.percorso.at(static_cast<std::size_t>(k)); }
  voce_testata& voce(int i) { return s.testata_linea.at(static_cast<std::size_t>(i)); }
  /// Every diagnostic as the reports print it.
  std::vector<std::string> messaggi() const {
    std::vector<std::string> out;
    for (const Diagnostica& d : s.diagnostiche) out.push_back(formatta(d));
    return out;
  }

  ScenarioCompilato s;
  Esito esito;
  int32_t prossimo_cartello;
  std::vector<QualeSorgente> eliminate;
};

/// The number of the code a handler refused with, 0 when it accepted.
inline int32_t codice(const Esito& r) { return numero(r.codice); }

}  // namespace genera
