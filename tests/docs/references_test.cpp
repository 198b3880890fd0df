// The manual against the program's own tables: every keyword of the
// keyword table in the reference of its source, with an example that names
// it; every failure code the pages name in the code table; the layouts of
// docs/compiled-files.md equal to model/compact_format.h.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
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

std::string read_page(const std::string& name) {
  const std::string path = std::string(GENERA_DOCS) + "/" + name;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << path;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string r; std::getline(in, r);) out.push_back(r);
  return out;
}

/// The lines of the fenced blocks of `text` whose info string is `info`.
std::vector<std::string> block_lines(const std::string& text, const std::string& info) {
  std::vector<std::string> out;
  bool inside = false, chosen = false;
  for (const std::string& r : lines_of(text)) {
    if (r.rfind("```", 0) == 0) {
      chosen = !inside && r.substr(3) == info;
      inside = !inside;
    } else if (inside && chosen) {
      out.push_back(r);
    }
  }
  return out;
}

/// The first field of a source line: its key.
std::string chiave_di(const std::string& line) { return line.substr(0, line.find(',')); }

const char* page_of(Blocco b) { return b == Blocco::treno ? "train-source.md" : "line-source.md"; }

const char* examples_of(Blocco b) {
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
    const std::string page = read_page(page_of(p.blocco));
    SCOPED_TRACE(std::string(p.scritta) + " in docs/" + page_of(p.blocco));
    EXPECT_NE(page.find(p.scritta), std::string::npos) << "its written form is missing";
    EXPECT_NE(page.find("`" + std::string(p.parola) + "`"), std::string::npos)
        << "the word it is matched by, in backquotes, is missing";
    if (!p.seconda.empty()) {
      EXPECT_NE(page.find("`" + std::string(p.seconda) + "`"), std::string::npos)
          << "its second word, in backquotes, is missing";
    }
    bool example = false;
    for (const std::string& line : block_lines(page, examples_of(p.blocco)))
      example = example || nomina(p, chiave_di(line));
    EXPECT_TRUE(example) << "no " << examples_of(p.blocco) << " example names it";
  }
}

/// The numbers of a list that starts at `at`: "15", "17, 18 or 19",
/// "16 to 20 and 7".
std::vector<int> number_list(const std::string& text, std::size_t at) {
  std::vector<int> out;
  for (;;) {
    std::size_t end = at;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end == at) return out;
    out.push_back(std::stoi(text.substr(at, end - at)));
    at = end;
    bool more = false;
    for (const char* joint : {", ", " or ", " and ", " to ", "-"}) {
      const std::string j = joint;
      if (text.compare(at, j.size(), j) == 0 && at + j.size() < text.size() &&
          std::isdigit(static_cast<unsigned char>(text[at + j.size()]))) {
        at += j.size();
        more = true;
        break;
      }
    }
    if (!more) return out;
  }
}

TEST(CodesInThePages, EveryCodeNamedIsInTheCodeTable) {
  // "error 15", "errors 17, 18 or 19", "errors 16 to 20 and 7", "explain 13".
  for (const char* name :
       {"line-source.md", "train-source.md", "tutorial.md", "compiled-files.md"}) {
    const std::string page = read_page(name);
    std::set<int> codici;
    for (const char* word : {"error ", "errors ", "explain ", "Errore n. "}) {
      const std::string w = word;
      for (std::size_t at = page.find(w); at != std::string::npos; at = page.find(w, at + 1)) {
        if (at > 0 && std::isalpha(static_cast<unsigned char>(page[at - 1]))) continue;
        for (int n : number_list(page, at + w.size())) codici.insert(n);
      }
    }
    EXPECT_FALSE(codici.empty()) << "docs/" << name << " names no failure code";
    for (int c : codici)
      EXPECT_NE(cerca_codice(c), nullptr)
          << "docs/" << name << " names error " << c << ", which is not in the code table";
  }
}

// ---- docs/compiled-files.md ----

/// The rows of the first table after the heading `heading`, cells trimmed,
/// the header row and the rule under it left out.
std::vector<std::vector<std::string>> table_rows(const std::string& page,
                                                 const std::string& heading) {
  std::vector<std::vector<std::string>> out;
  const std::vector<std::string> lines = lines_of(page);
  std::size_t i = 0;
  while (i < lines.size() && lines[i] != heading) ++i;
  EXPECT_LT(i, lines.size()) << "no heading \"" << heading << "\"";
  while (i < lines.size() && lines[i].rfind('|', 0) != 0) ++i;
  for (i += 2; i < lines.size() && lines[i].rfind('|', 0) == 0; ++i) {
    std::vector<std::string> cells;
    std::istringstream in(lines[i].substr(1));
    for (std::string c; std::getline(in, c, '|');) {
      const auto a = c.find_first_not_of(' '), b = c.find_last_not_of(' ');
      cells.push_back(a == std::string::npos ? "" : c.substr(a, b - a + 1));
    }
    out.push_back(cells);
  }
  return out;
}

/// {field: {offset, size}} of a layout table (Offset | Size | Type | Field).
std::map<std::string, std::pair<std::string, std::string>> layout_fields(
    const std::vector<std::vector<std::string>>& t) {
  std::map<std::string, std::pair<std::string, std::string>> out;
  for (const auto& r : t) {
    if (r.size() < 4) continue;
    // `field`, or a description such as "n, the length of `nome`" as it stands.
    const bool code = r[3].size() > 2 && r[3].front() == '`' && r[3].back() == '`';
    out[code ? r[3].substr(1, r[3].size() - 2) : r[3]] = {r[0], r[1]};
  }
  return out;
}

std::string after_the_name(std::size_t offset) {
  return std::to_string(layout::kVoceNome + offset) + " + n";
}

TEST(CompiledFilesPage, ScenarioFileEntryIsTheLayout) {
  namespace L = layout;
  const std::string page = read_page("compiled-files.md");
  const auto c = layout_fields(table_rows(page, "## The scenario file, `NAME_CODE.sim`"));
  using P = std::pair<std::string, std::string>;
  const std::map<std::string, P> expected = {
      {"tipo", {std::to_string(L::kVoceTipo), "1"}},
      {"dato1", {std::to_string(L::kVoceDato1), "4"}},
      {"dato2", {std::to_string(L::kVoceDato2), "4"}},
      {"dato3", {std::to_string(L::kVoceDato3), "4"}},
      {"opzione", {std::to_string(L::kVoceOpzione), "1"}},
      {"n, the length of `nome`", {std::to_string(L::kVoceLunghezzaNome), "2"}},
      {"nome", {std::to_string(L::kVoceNome), "n"}},
      {"intero1", {after_the_name(L::kVoceInteri), "2"}},
      {"intero2", {after_the_name(L::kVoceInteri + 2), "2"}},
      {"intero3", {after_the_name(L::kVoceInteri + 4), "2"}},
      {"intero4", {after_the_name(L::kVoceInteri + 6), "2"}},
      {"intero5", {after_the_name(L::kVoceInteri + 8), "2"}},
      {"byte1", {after_the_name(L::kVoceByte), "1"}},
      {"byte2", {after_the_name(L::kVoceByte + 1), "1"}},
      {"byte3", {after_the_name(L::kVoceByte + 2), "1"}},
      {"byte4", {after_the_name(L::kVoceByte + 3), "1"}},
      {"dato4", {after_the_name(L::kVoceDato4), "4"}},
  };
  EXPECT_EQ(c, expected);
  EXPECT_EQ(L::kVoceDato4 + 4, L::kVoceCoda) << "dato4 is the last field";
  EXPECT_NE(page.find("An entry takes " + std::to_string(L::kVoceFissa) + " + n bytes"),
            std::string::npos);
}

TEST(CompiledFilesPage, RouteCellIsTheLayout) {
  namespace L = layout;
  const std::string page = read_page("compiled-files.md");
  const auto c = layout_fields(table_rows(page, "## The route file, `NAME_CODE.dat`"));
  using P = std::pair<std::string, std::string>;
  auto row = [](std::size_t offset, std::size_t size) {
    return P{std::to_string(offset), std::to_string(size)};
  };
  const cella_percorso k;
  const std::map<std::string, P> expected = {
      {"tipo", row(L::kCellaTipo, sizeof k.tipo)},
      {"valore1", row(L::kCellaValore1, sizeof k.valore1)},
      {"valore2", row(L::kCellaValore2, sizeof k.valore2)},
      {"valore3", row(L::kCellaValore3, sizeof k.valore3)},
      {"valore4", row(L::kCellaValore4, sizeof k.valore4)},
      {"tempo_segnale", row(L::kCellaTempoSegnale, sizeof k.tempo_segnale)},
      {"avviso", row(L::kCellaAvviso, sizeof k.avviso)},
      {"galleria", row(L::kCellaGalleria, sizeof k.galleria)},
      {"velocita", row(L::kCellaVelocita, sizeof k.velocita)},
      {"pendenza", row(L::kCellaPendenza, sizeof k.pendenza)},
      {"aderenza", row(L::kCellaAderenza, sizeof k.aderenza)},
  };
  EXPECT_EQ(c, expected);
  EXPECT_EQ(L::kCellaAderenza + 1, L::kCella) << "aderenza is the last field";
  EXPECT_NE(page.find(std::to_string(L::kCella) + " bytes each"), std::string::npos);
}

TEST(CompiledFilesPage, CellKindsAreTheOnesTheProgramStores) {
  // Every kind inspect can name, and no other, with inspect's name.
  std::map<std::string, std::string> expected;
  for (int t = 0; t < 256; ++t) {
    const std::string name = nome_tipo_cella(static_cast<TipoCella>(t));
    if (name != "sconosciuto") expected[std::to_string(t)] = name;
  }
  std::map<std::string, std::string> page;
  for (const auto& r : table_rows(read_page("compiled-files.md"), "### `tipo` and the four values"))
    if (r.size() > 1) page[r[0]] = r[1];
  EXPECT_EQ(page, expected);
}

TEST(CompiledFilesPage, PlanVariantsAreTheLayout) {
  namespace L = layout;
  std::map<std::string, std::pair<std::string, std::string>> page;
  for (const auto& r :
       table_rows(read_page("compiled-files.md"), "## The line compact file, `NAME_linea.dat`"))
    if (r.size() > 3) page[r[0]] = {r[1], r[3]};
  auto row = [](TipoVariante t, std::size_t size) {
    return std::pair{std::to_string(static_cast<int>(t)), std::to_string(size)};
  };
  const std::map<std::string, std::pair<std::string, std::string>> expected = {
      {"empty", row(TipoVariante::vuoto, L::kVarianteVuota)},
      {"Integer", row(TipoVariante::intero, L::kVarianteIntero)},
      {"double", row(TipoVariante::doppio, L::kVarianteDoppio)},
  };
  EXPECT_EQ(page, expected);
}

}  // namespace
}  // namespace genera
