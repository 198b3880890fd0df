// The manual against the program's own tables: every keyword of the
// keyword table in the reference of its source, with an example that names
// it; every failure code the pages name in the code table; the layouts of
// docs/compiled-files.md equal to model/compact_format.h.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/inspect.h"
#include "model/codes.h"
#include "model/compact_format.h"
#include "model/keywords.h"
#include "model/route_model.h"

namespace genera {
namespace {

std::string leggi_pagina(const std::string& nome) {
  const std::string path = std::string(GENERA_DOCS) + "/" + nome;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << path;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> out;
  std::istringstream in(testo);
  for (std::string r; std::getline(in, r);) out.push_back(r);
  return out;
}

/// The lines of the fenced blocks of `testo` whose info string is `info`.
std::vector<std::string> righe_dei_blocchi(const std::string& testo, const std::string& info) {
  std::vector<std::string> out;
  bool dentro = false, scelto = false;
  for (const std::string& r : righe(testo)) {
    if (r.rfind("```", 0) == 0) {
      scelto = !dentro && r.substr(3) == info;
      dentro = !dentro;
    } else if (dentro && scelto) {
      out.push_back(r);
    }
  }
  return out;
}

/// The first field of a source line: its key.
std::string chiave_di(const std::string& riga) { return riga.substr(0, riga.find(',')); }

const char* pagina_di(Blocco b) {
  return b == Blocco::treno ? "train-source.md" : "line-source.md";
}

const char* esempi_di(Blocco b) {
  switch (b) {
    case Blocco::testata_linea:
      return "linea-testata";
    case Blocco::corpo_linea:
      return "linea";
    case Blocco::treno:
      break;
  }
  return "treno";
}

TEST(KeywordsInTheReferences, EveryRowIsWrittenOutAndHasAnExample) {
  for (const ParolaChiave& p : kParoleChiave) {
    const std::string pagina = leggi_pagina(pagina_di(p.blocco));
    SCOPED_TRACE(std::string(p.scritta) + " in docs/" + pagina_di(p.blocco));
    EXPECT_NE(pagina.find(p.scritta), std::string::npos) << "its written form is missing";
    EXPECT_NE(pagina.find("`" + std::string(p.parola) + "`"), std::string::npos)
        << "the word it is matched by, in backquotes, is missing";
    if (!p.seconda.empty()) {
      EXPECT_NE(pagina.find("`" + std::string(p.seconda) + "`"), std::string::npos)
          << "its second word, in backquotes, is missing";
    }
    bool esempio = false;
    for (const std::string& riga : righe_dei_blocchi(pagina, esempi_di(p.blocco)))
      esempio = esempio || nomina(p, chiave_di(riga));
    EXPECT_TRUE(esempio) << "no " << esempi_di(p.blocco) << " example names it";
  }
}

TEST(CodesInThePages, EveryCodeNamedIsInTheCodeTable) {
  // "error 15", "errors 17, 18 or 19", "errors 16 to 20 and 7", "explain 13".
  const std::regex nominati(R"((?:\berrors?|\bexplain|Errore n\.) (\d+(?:(?:, | or | and | to )\d+)*))");
  const std::regex numero(R"(\d+)");
  for (const char* nome : {"line-source.md", "train-source.md", "tutorial.md", "compiled-files.md"}) {
    const std::string pagina = leggi_pagina(nome);
    std::set<int> codici;
    for (std::sregex_iterator m(pagina.begin(), pagina.end(), nominati), fine; m != fine; ++m) {
      const std::string lista = (*m)[1];
      for (std::sregex_iterator n(lista.begin(), lista.end(), numero); n != fine; ++n)
        codici.insert(std::stoi(n->str()));
    }
    EXPECT_FALSE(codici.empty()) << "docs/" << nome << " names no failure code";
    for (int c : codici)
      EXPECT_NE(cerca_codice(c), nullptr) << "docs/" << nome << " names error " << c
                                          << ", which is not in the code table";
  }
}

// ---- docs/compiled-files.md ----

/// The rows of the first table after the heading `titolo`, cells trimmed,
/// the header row and the rule under it left out.
std::vector<std::vector<std::string>> tabella(const std::string& pagina, const std::string& titolo) {
  std::vector<std::vector<std::string>> out;
  const std::vector<std::string> rr = righe(pagina);
  std::size_t i = 0;
  while (i < rr.size() && rr[i] != titolo) ++i;
  EXPECT_LT(i, rr.size()) << "no heading \"" << titolo << "\"";
  while (i < rr.size() && rr[i].rfind("|", 0) != 0) ++i;
  for (i += 2; i < rr.size() && rr[i].rfind("|", 0) == 0; ++i) {
    std::vector<std::string> celle;
    std::istringstream in(rr[i].substr(1));
    for (std::string c; std::getline(in, c, '|');) {
      const auto a = c.find_first_not_of(' '), b = c.find_last_not_of(' ');
      celle.push_back(a == std::string::npos ? "" : c.substr(a, b - a + 1));
    }
    out.push_back(celle);
  }
  return out;
}

/// {field: {offset, size}} of a layout table (Offset | Size | Type | Field).
std::map<std::string, std::pair<std::string, std::string>> campi(
    const std::vector<std::vector<std::string>>& t) {
  std::map<std::string, std::pair<std::string, std::string>> out;
  for (const auto& r : t) {
    if (r.size() < 4) continue;
    // `campo`, or a description such as "n, the length of `nome`" as it stands.
    const bool codice = r[3].size() > 2 && r[3].front() == '`' && r[3].back() == '`';
    out[codice ? r[3].substr(1, r[3].size() - 2) : r[3]] = {r[0], r[1]};
  }
  return out;
}

std::string dopo_il_nome(std::size_t offset) {
  return std::to_string(layout::kVoceNome + offset) + " + n";
}

TEST(CompiledFilesPage, ScenarioFileEntryIsTheLayout) {
  namespace L = layout;
  const std::string pagina = leggi_pagina("compiled-files.md");
  const auto c = campi(tabella(pagina, "## The scenario file, `NAME_CODE.sim`"));
  using P = std::pair<std::string, std::string>;
  const std::map<std::string, P> attesi = {
      {"tipo", {std::to_string(L::kVoceTipo), "1"}},
      {"dato1", {std::to_string(L::kVoceDato1), "4"}},
      {"dato2", {std::to_string(L::kVoceDato2), "4"}},
      {"dato3", {std::to_string(L::kVoceDato3), "4"}},
      {"opzione", {std::to_string(L::kVoceOpzione), "1"}},
      {"n, the length of `nome`", {std::to_string(L::kVoceLunghezzaNome), "2"}},
      {"nome", {std::to_string(L::kVoceNome), "n"}},
      {"intero1", {dopo_il_nome(L::kVoceInteri), "2"}},
      {"intero2", {dopo_il_nome(L::kVoceInteri + 2), "2"}},
      {"intero3", {dopo_il_nome(L::kVoceInteri + 4), "2"}},
      {"intero4", {dopo_il_nome(L::kVoceInteri + 6), "2"}},
      {"intero5", {dopo_il_nome(L::kVoceInteri + 8), "2"}},
      {"byte1", {dopo_il_nome(L::kVoceByte), "1"}},
      {"byte2", {dopo_il_nome(L::kVoceByte + 1), "1"}},
      {"byte3", {dopo_il_nome(L::kVoceByte + 2), "1"}},
      {"byte4", {dopo_il_nome(L::kVoceByte + 3), "1"}},
      {"dato4", {dopo_il_nome(L::kVoceDato4), "4"}},
  };
  EXPECT_EQ(c, attesi);
  EXPECT_EQ(L::kVoceDato4 + 4, L::kVoceCoda) << "dato4 is the last field";
  EXPECT_NE(pagina.find("An entry takes " + std::to_string(L::kVoceFissa) + " + n bytes"),
            std::string::npos);
}

TEST(CompiledFilesPage, RouteCellIsTheLayout) {
  namespace L = layout;
  const std::string pagina = leggi_pagina("compiled-files.md");
  const auto c = campi(tabella(pagina, "## The route file, `NAME_CODE.dat`"));
  using P = std::pair<std::string, std::string>;
  auto riga = [](std::size_t offset, std::size_t size) {
    return P{std::to_string(offset), std::to_string(size)};
  };
  const cella_percorso k;
  const std::map<std::string, P> attesi = {
      {"tipo", riga(L::kCellaTipo, sizeof k.tipo)},
      {"valore1", riga(L::kCellaValore1, sizeof k.valore1)},
      {"valore2", riga(L::kCellaValore2, sizeof k.valore2)},
      {"valore3", riga(L::kCellaValore3, sizeof k.valore3)},
      {"valore4", riga(L::kCellaValore4, sizeof k.valore4)},
      {"tempo_segnale", riga(L::kCellaTempoSegnale, sizeof k.tempo_segnale)},
      {"avviso", riga(L::kCellaAvviso, sizeof k.avviso)},
      {"galleria", riga(L::kCellaGalleria, sizeof k.galleria)},
      {"velocita", riga(L::kCellaVelocita, sizeof k.velocita)},
      {"pendenza", riga(L::kCellaPendenza, sizeof k.pendenza)},
      {"aderenza", riga(L::kCellaAderenza, sizeof k.aderenza)},
  };
  EXPECT_EQ(c, attesi);
  EXPECT_EQ(L::kCellaAderenza + 1, L::kCella) << "aderenza is the last field";
  EXPECT_NE(pagina.find(std::to_string(L::kCella) + " bytes each"), std::string::npos);
}

TEST(CompiledFilesPage, CellKindsAreTheOnesTheProgramStores) {
  // Every kind inspect can name, and no other, with inspect's name.
  std::map<std::string, std::string> attesi;
  for (int t = 0; t < 256; ++t) {
    const std::string nome = nome_tipo_cella(static_cast<uint8_t>(t));
    if (nome != "sconosciuto") attesi[std::to_string(t)] = nome;
  }
  std::map<std::string, std::string> pagina;
  for (const auto& r : tabella(leggi_pagina("compiled-files.md"), "### `tipo` and the four values"))
    if (r.size() > 1) pagina[r[0]] = r[1];
  EXPECT_EQ(pagina, attesi);
}

TEST(CompiledFilesPage, PlanVariantsAreTheLayout) {
  namespace L = layout;
  std::map<std::string, std::pair<std::string, std::string>> pagina;
  for (const auto& r : tabella(leggi_pagina("compiled-files.md"), "## The line compact file, `NAME_linea.dat`"))
    if (r.size() > 3) pagina[r[0]] = {r[1], r[3]};
  auto riga = [](TipoVariante t, std::size_t size) {
    return std::pair{std::to_string(static_cast<int>(t)), std::to_string(size)};
  };
  const std::map<std::string, std::pair<std::string, std::string>> attesi = {
      {"empty", riga(TipoVariante::vuoto, L::kVarianteVuota)},
      {"Integer", riga(TipoVariante::intero, L::kVarianteIntero)},
      {"double", riga(TipoVariante::doppio, L::kVarianteDoppio)},
  };
  EXPECT_EQ(pagina, attesi);
}

}  // namespace
}  // namespace genera
