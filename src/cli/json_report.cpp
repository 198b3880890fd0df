#include "cli/json_report.h"

#include <nlohmann/json.hpp>

namespace genera {

std::string rapporto_json(const ScenarioCompilato& s, Codice codice_errore,
                          const std::vector<std::string>& file_scritti) {
  using json = nlohmann::ordered_json;
  json messaggi = json::array();
  for (const Diagnostica& d : s.diagnostiche)
    messaggi.push_back({{"codice", numero(d.codice)},
                        {"file", d.luogo.file},
                        {"riga", d.luogo.riga},
                        {"posizione", d.luogo.posizione ? json(*d.luogo.posizione) : json(nullptr)},
                        {"testo", d.testo}});
  const json report = {{"codice_errore", numero(codice_errore)},
                       {"posizione_errore", s.posizione_errore},
                       {"messaggi", messaggi},
                       {"file_scritti", file_scritti}};
  // Texts come from the author's files and may hold any bytes: never
  // let an invalid UTF-8 sequence stop the report.
  return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace genera
