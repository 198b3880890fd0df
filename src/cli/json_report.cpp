#include "cli/json_report.h"

#include <nlohmann/json.hpp>

namespace genera {

std::string rapporto_json(const ScenarioCompilato& s, Codice codice_errore,
                          const std::vector<std::string>& file_scritti) {
  using json = nlohmann::ordered_json;
  auto luogo = [](json& j, const Luogo& l) {
    j["file"] = l.file;
    j["riga"] = l.riga;
    j["colonna"] = l.colonna;
    j["posizione"] = l.posizione ? json(*l.posizione) : json(nullptr);
  };
  static constexpr const char* kGravita[] = {"errore", "avviso", "nota"};
  json messaggi = json::array();
  for (const Diagnostica& d : s.diagnostiche) {
    json m = {{"codice", numero(d.codice)}};
    luogo(m, d.luogo);
    m["testo"] = d.testo;
    m["gravita"] = kGravita[static_cast<int>(d.gravita)];
    json note = json::array();
    for (const Nota& n : d.note) {
      json j = {{"codice", 0}};
      luogo(j, n.luogo);
      j["testo"] = n.testo;
      j["gravita"] = "nota";
      note.push_back(std::move(j));
    }
    m["note"] = std::move(note);
    messaggi.push_back(std::move(m));
  }
  const json report = {{"codice_errore", numero(codice_errore)},
                       {"posizione_errore", s.posizione_errore},
                       {"messaggi", messaggi},
                       {"file_scritti", file_scritti}};
  // Texts come from the author's files and may hold any bytes: never
  // let an invalid UTF-8 sequence stop the report.
  return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace genera
