// What the tests of the line half share: sources written inline, the grid
// a length record makes, and a line source read the way the compiler
// reads it, with a deletion hook that notes what it was asked to delete.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linecomp/line_reader.h"
#include "model/compiled_scenario.h"
#include "model/diagnostics.h"

namespace genera {

inline constexpr char kNomeLinea[] = "LIVRA_MONTALBA_linea.txt";
inline constexpr char kNomeTreno[] = "LIVRA_MONTALBA_R47316-.txt";

/// Set before a reading: shows whether a failure records a position.
inline constexpr int32_t kPosizioneIntatta = 777;

/// Lines joined with CR LF, the last one included.
inline std::string righe(std::initializer_list<std::string> r) {
  std::string s;
  for (const std::string& riga : r) s += riga + "\r\n";
  return s;
}

/// The grid of a line `lunghezza` m long and, with `con_tracciato`, the
/// rows of its plan, all empty, as a length record makes them.
inline void prepara_griglia(ScenarioCompilato& s, int32_t lunghezza, bool con_tracciato = true) {
  const auto celle = static_cast<std::size_t>(celle_percorso(lunghezza));
  s.percorso.assign(celle, cella_percorso{});
  s.origini.celle.assign(celle, OrigineCella{});
  s.tracciato = tracciato_linea{};
  if (con_tracciato) s.tracciato.righe = static_cast<int32_t>(righe_tracciato(lunghezza));
}

/// A deletion hook that notes every source it is asked to delete and
/// answers that the deletion worked.
struct Eliminazioni {
  std::vector<QualeSorgente> chiamate;

  EliminaSorgente hook() {
    return [this](QualeSorgente q) {
      chiamate.push_back(q);
      return std::string();
    };
  }
  bool eliminata(QualeSorgente q) const {
    return std::find(chiamate.begin(), chiamate.end(), q) != chiamate.end();
  }
};

/// Every diagnostic of `s`, formatted, one a line.
inline std::string messaggi(const ScenarioCompilato& s) {
  std::string testo;
  for (const Diagnostica& d : s.diagnostiche) testo += formatta(d) + "\n";
  return testo;
}

/// A line source read on its own, onto a fresh scenario.
struct LetturaLinea {
  ScenarioCompilato s;
  Esito esito;
  int32_t prossimo_cartello = 0;
  Eliminazioni eliminazioni;

  /// The reading went on to the train source (a normal end or the soft stop).
  bool prosegue() const { return esito.passo == Passo::continua; }
  bool linea_eliminata() const { return eliminazioni.eliminata(QualeSorgente::linea); }
  bool treno_eliminato() const { return eliminazioni.eliminata(QualeSorgente::treno); }
  std::string messaggi() const { return genera::messaggi(s); }
};

inline LetturaLinea leggi_linea(std::string_view testo, bool con_tracciato = true) {
  LetturaLinea l;
  l.s.posizione_errore = kPosizioneIntatta;
  l.esito = leggi_sorgente_linea(testo, kNomeLinea, con_tracciato, l.s, l.eliminazioni.hook(),
                                 l.prossimo_cartello);
  return l;
}

/// Passes when a handler accepted its record, else names the refusal.
inline ::testing::AssertionResult accettato(const Esito& r) {
  if (r.prosegue()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "refused with error " << numero(r.codice) << ": " << r.testo;
}

}  // namespace genera
