#include "cli/json_report.h"

#include <nlohmann/json.hpp>

namespace genera {

std::string rapporto_json(const Form1& f, int32_t codice_errore,
                          const std::vector<std::string>& file_scritti) {
  using json = nlohmann::ordered_json;
  json messaggi = json::array();
  for (const messaggio& m : f.messaggi)
    messaggi.push_back({{"codice", m.codice},
                        {"file", m.file},
                        {"riga", m.riga},
                        {"posizione", m.posizione ? json(*m.posizione) : json(nullptr)},
                        {"testo", m.testo}});
  const json report = {{"codice_errore", codice_errore},
                       {"posizione_errore", f.posizione_errore},
                       {"messaggi", messaggi},
                       {"file_scritti", file_scritti}};
  // Texts come from the author's files and may hold any bytes: never
  // let an invalid UTF-8 sequence stop the report.
  return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace genera
