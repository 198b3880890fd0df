#include "model/compiled_scenario.h"

#include <utility>

namespace genera {

void registra(ScenarioCompilato& s, Codice codice, Luogo luogo, std::string testo) {
  s.codice_errore = codice;
  if (luogo.posizione) s.posizione_errore = *luogo.posizione;
  s.diagnostiche.push_back({Gravita::errore, codice, std::move(luogo), std::move(testo), {}});
}

}  // namespace genera
