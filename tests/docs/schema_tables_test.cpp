// The field tables of the source references are the schema's: each block
// between "<!-- fields of ... -->" and "<!-- end of fields -->" must be what
// tabella_campi gives for the records it names, and every record of the
// schema must have its table. GENERA_UPDATE_DOCS=1 rewrites the blocks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/schema.h"

namespace genera {
namespace {

constexpr std::string_view kInizio = "<!-- fields of ";
constexpr std::string_view kFine = "<!-- end of fields -->";

std::string leggi(const std::string& percorso) {
  std::ifstream f(percorso, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

struct Blocco {
  std::vector<Chiave> record;
  std::size_t da = 0, a = 0;  // the table's bytes, between the two marks
};

std::vector<Blocco> blocchi(const std::string& pagina) {
  std::vector<Blocco> out;
  std::size_t pos = 0;
  while ((pos = pagina.find(kInizio, pos)) != std::string::npos) {
    const std::size_t nomi = pos + kInizio.size();
    const std::size_t due_punti = pagina.find(':', nomi);
    const std::size_t fine_riga = pagina.find('\n', nomi);
    const std::size_t fine = pagina.find(kFine, nomi);
    if (due_punti == std::string::npos || fine_riga == std::string::npos ||
        fine == std::string::npos)
      break;
    Blocco b;
    std::istringstream parole(pagina.substr(nomi, due_punti - nomi));
    std::string nome;
    while (parole >> nome) {
      const SchemaRecord* r = cerca_record(nome);
      EXPECT_NE(r, nullptr) << nome;
      if (r != nullptr) b.record.push_back(r->chiave);
    }
    b.da = fine_riga + 1;
    b.a = fine;
    out.push_back(b);
    pos = fine;
  }
  return out;
}

TEST(TabelleCampi, TheReferencesHoldTheSchemasTables) {
  const bool aggiorna = std::getenv("GENERA_UPDATE_DOCS") != nullptr;
  std::set<Chiave> coperti;
  for (const char* nome : {"/line-source.md", "/train-source.md"}) {
    const std::string percorso = std::string(GENERA_DOCS) + nome;
    std::string pagina = leggi(percorso);
    const std::vector<Blocco> tutti = blocchi(pagina);
    EXPECT_FALSE(tutti.empty()) << percorso;
    // From the end, so the earlier blocks keep their places.
    for (auto b = tutti.rbegin(); b != tutti.rend(); ++b) {
      const std::string atteso = tabella_campi(b->record);
      for (Chiave k : b->record) coperti.insert(k);
      if (aggiorna)
        pagina.replace(b->da, b->a - b->da, atteso);
      else
        EXPECT_EQ(pagina.substr(b->da, b->a - b->da), atteso) << percorso;
    }
    if (aggiorna) std::ofstream(percorso, std::ios::binary) << pagina;
  }
  // The three progressives share one table: the one of "uno".
  for (const SchemaRecord& r : schema_sorgenti()) {
    if (r.chiave == Chiave::progressiva_due || r.chiave == Chiave::progressiva_tre) continue;
    EXPECT_TRUE(coperti.count(r.chiave)) << r.parola().scritta << " has no table";
  }
}

}  // namespace
}  // namespace genera
