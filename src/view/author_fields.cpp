#include "view/author_fields.h"

#include <span>

#include "model/schema.h"
#include "view/text_policy.h"

namespace genera {
namespace {

std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::vector<CampoAutore> campi_autore(Chiave chiave, std::string_view riga, int colonna) {
  std::vector<CampoAutore> out;
  if (colonna < 1 || static_cast<std::size_t>(colonna - 1) >= riga.size()) return out;
  std::string_view resto = riga.substr(static_cast<std::size_t>(colonna - 1));
  const std::size_t dopo_chiave = resto.find(',');
  if (dopo_chiave == std::string_view::npos) return out;
  resto.remove_prefix(dopo_chiave + 1);
  const std::span<const Campo> n = schema_record(chiave).campi;
  for (std::size_t i = 0; !resto.empty() || i == 0; ++i) {
    const std::size_t virgola = resto.find(',');
    const std::string_view valore = senza_spazi(resto.substr(0, virgola));
    if (i < n.size()) {
      out.push_back({std::string(n[i].nome), std::string(n[i].unita), testo_scritto(valore),
                     std::string(n[i].significato)});
    } else if (!valore.empty()) {
      out.push_back({"field " + std::to_string(i + 1), "", testo_scritto(valore), "not read"});
    }
    if (virgola == std::string_view::npos || out.size() >= 24) break;
    resto.remove_prefix(virgola + 1);
  }
  return out;
}

}  // namespace genera
