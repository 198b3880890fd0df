// The built-in scenario run in memory: the figures the simulator's reader
// depends on, and the whole compact files against their golden copies.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "files/file_system.h"
#include "model/compact_format.h"
#include "run/form_load.h"
#include "test_files.h"

namespace genera {
namespace {

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// FNV-1a: the 1.9 MB plan is guarded by its size, its first bytes and this.
uint64_t fnv1a(const std::string& bytes) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

class BuiltInScenario : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    disk_ = new MemoryFileSystem;
    f_ = new Form1;
    f_->file_system = disk_;
    f_->cartella = "scenario";
    Form_Load(*f_);
  }
  static void TearDownTestSuite() {
    delete f_;
    delete disk_;
  }

  static const std::string& file(const std::string& name) {
    return disk_->files.at(join_path("scenario", name));
  }

  // The bytes of entry `index` of the scenario file, found by walking the names.
  static std::string voce(int index) {
    const std::string& sim = file("LIVRA_MONTALBA_R47316.sim");
    std::size_t at = 0;
    for (int i = 0;; ++i) {
      const auto* p = reinterpret_cast<const unsigned char*>(sim.data() + at);
      const std::size_t size =
          layout::kVoceFissa + layout::leggi_u16(p + layout::kVoceLunghezzaNome);
      if (i == index) return sim.substr(at, size);
      at += size;
    }
  }

  static MemoryFileSystem* disk_;
  static Form1* f_;
};

MemoryFileSystem* BuiltInScenario::disk_ = nullptr;
Form1* BuiltInScenario::f_ = nullptr;

TEST_F(BuiltInScenario, LeavesTheThreeDocumentsAndTheThreeCompactFiles) {
  std::set<std::string> names;
  for (const auto& [path, bytes] : disk_->files) names.insert(path);
  const std::set<std::string> expected = {
      join_path("scenario", "LIVRA_MONTALBA_R47316_note.txt"),
      join_path("scenario", "LIVRA_MONTALBA_R47316_rallentamenti.txt"),
      join_path("scenario", "LIVRA_MONTALBA_R47316_scheda_treno.txt"),
      join_path("scenario", "LIVRA_MONTALBA_linea.dat"),
      join_path("scenario", "LIVRA_MONTALBA_R47316.sim"),
      join_path("scenario", "LIVRA_MONTALBA_R47316.dat"),
  };
  EXPECT_EQ(names, expected);
  EXPECT_EQ(f_->scenario.codice_errore, Codice::nessuno);
  EXPECT_TRUE(f_->scenario.diagnostiche.empty());
}

TEST_F(BuiltInScenario, DocumentsMatchTheirGoldenFiles) {
  for (const char* name :
       {"LIVRA_MONTALBA_R47316_note.txt", "LIVRA_MONTALBA_R47316_rallentamenti.txt",
        "LIVRA_MONTALBA_R47316_scheda_treno.txt"}) {
    EXPECT_TRUE(SameBytes(file(name), golden(std::string("text/") + name))) << name;
  }
}

TEST_F(BuiltInScenario, CompactFilesMatchTheirGoldenFiles) {
  EXPECT_TRUE(
      SameBytes(file("LIVRA_MONTALBA_R47316.sim"), golden("compact/LIVRA_MONTALBA_R47316.sim")));
  EXPECT_TRUE(
      SameBytes(file("LIVRA_MONTALBA_R47316.dat"), golden("compact/LIVRA_MONTALBA_R47316.dat")));
  const std::string& plan = file("LIVRA_MONTALBA_linea.dat");
  EXPECT_EQ(plan.size(), 1919964u);
  EXPECT_EQ(fnv1a(plan),
            std::stoull(golden("compact/LIVRA_MONTALBA_linea.dat.fnv1a"), nullptr, 16));
}

TEST_F(BuiltInScenario, LineCompactFileLayout) {
  const std::string& plan = file("LIVRA_MONTALBA_linea.dat");
  const std::size_t column = plan.size() / 2;
  ASSERT_EQ(column, 959982u);
  EXPECT_EQ(hex(plan.substr(0, 10)), "02 00 00 00 02 00 00 00 05 00");
  EXPECT_EQ(hex(plan.substr(column, 8)), "02 00 00 00 02 00 01 00");
  EXPECT_EQ(hex(plan.substr(column - 4, 4)), "00 00 00 00");  // rows N - 1 and N empty
  EXPECT_EQ(hex(plan.substr(plan.size() - 4)), "00 00 00 00");
}

TEST_F(BuiltInScenario, ScenarioFileReservedEntries) {
  EXPECT_EQ(hex(voce(84)),
            "00 7D 00 00 00 A8 5B 01 00 08 00 00 00 00 00 00 "
            "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
  EXPECT_EQ(hex(voce(85)), "00 01 00 00 00 80 38 01 00 60 EA 00 00 00 0E 00 " +
                               hex("LIVRA_MONTALBA") +
                               " 62 02 00 00 00 00 00 00 00 00 00 00 00 00 1D 7E 00 00");
  EXPECT_EQ(hex(voce(86)), "00 E8 03 00 00 9C 5D 01 00 09 00 00 00 00 06 00 " + hex("R47316") +
                               " 2C 01 00 00 08 00 31 00 00 00 00 00 00 00 00 00 00 00");
  EXPECT_EQ(hex(voce(0)), hex(std::string(34, '\0')));
}

TEST_F(BuiltInScenario, RouteFileCarriesTheRaceCode) {
  const std::string& route = file("LIVRA_MONTALBA_R47316.dat");
  EXPECT_EQ(route.size(), 28815u);
  EXPECT_EQ(hex(route.substr(16, 4)), "01 14 2B 09");
  EXPECT_EQ(f_->scenario.testata_linea[kVoceLinea].intero1, 610);
  EXPECT_EQ(f_->scenario.testata_linea[kVoceLinea].dato4, 32285);
}

// Checks that `field` of cells first..last all hold `value`.
template <typename Get>
void expect_run(const ScenarioCompilato& f, int first, int last, int value, Get get,
                const char* what) {
  for (int c = first; c <= last; ++c)
    ASSERT_EQ(get(f.percorso[c]), value) << what << " at cell " << c;
}

TEST_F(BuiltInScenario, GridProfiles) {
  const ScenarioCompilato& f = f_->scenario;
  ASSERT_EQ(f.ultima_cella(), 1920);
  auto pendenza = [](const cella_percorso& c) { return int{c.pendenza}; };
  expect_run(f, 0, 24, 100, pendenza, "pendenza");
  expect_run(f, 25, 89, 107, pendenza, "pendenza");
  EXPECT_EQ(f.percorso[90].pendenza, 110);
  expect_run(f, 1918, 1920, 0, pendenza, "pendenza");

  auto velocita = [](const cella_percorso& c) { return int{c.velocita}; };
  const struct {
    int first, last, value;
  } speeds[] = {
      {0, 39, 19},      {40, 366, 30},    {367, 1169, 32},  {1170, 1231, 27},
      {1232, 1284, 15}, {1285, 1749, 32}, {1750, 1917, 22}, {1918, 1920, 0},
  };
  for (const auto& s : speeds) expect_run(f, s.first, s.last, s.value, velocita, "velocita");

  auto aderenza = [](const cella_percorso& c) { return int{c.aderenza}; };
  expect_run(f, 0, 681, 90, aderenza, "aderenza");
  expect_run(f, 682, 1917, 85, aderenza, "aderenza");
  expect_run(f, 1918, 1920, 0, aderenza, "aderenza");
}

TEST_F(BuiltInScenario, TunnelsBoardsAndStations) {
  const ScenarioCompilato& f = f_->scenario;
  auto galleria = [](const cella_percorso& c) { return int{c.galleria}; };
  expect_run(f, 606, 611, 2, galleria, "galleria");
  EXPECT_EQ(f.percorso[605].galleria, 0);
  expect_run(f, 839, 874, 1, galleria, "galleria");
  const cella_percorso& board = f.percorso[1141];
  EXPECT_EQ(board.tipo, TipoCella::indicatore_v_max);
  EXPECT_EQ(board.valore1, 2600);
  EXPECT_EQ(board.valore2, 2700);
  EXPECT_EQ(board.valore3, 2800);
  EXPECT_EQ(board.valore4, 20);
  EXPECT_EQ(static_cast<int>(f.percorso[1764].tipo), 14);
  EXPECT_EQ(f.percorso[1764].valore1, 71);
  EXPECT_EQ(f.testata_linea[71].nome, "(Galleria)(Montalba)");
  EXPECT_EQ(f.testata_linea[81].dato1, 1000);

  const voce_testata& livra = f.testata_linea[1];
  EXPECT_EQ(static_cast<int>(livra.tipo), 2);
  EXPECT_EQ(livra.dato1, -450);
  EXPECT_EQ(livra.dato2, 450);
  EXPECT_EQ(livra.dato3, 0);
  EXPECT_EQ(livra.intero1, 1);
  EXPECT_EQ(livra.intero2, 1);
  EXPECT_EQ(livra.intero3, 4);
  EXPECT_EQ(livra.intero4, 1);
  EXPECT_EQ(livra.intero5, 1);
  EXPECT_EQ(livra.byte2, 1);
  EXPECT_EQ(livra.byte4, 0);
  EXPECT_EQ(livra.dato4, 31800);
  EXPECT_EQ(livra.nome, "LIVRA");
  EXPECT_EQ(static_cast<int>(f.percorso[8].tipo), 10);
  EXPECT_EQ(f.percorso[8].valore1, 1);
  for (int m = 1; m <= 4; ++m) EXPECT_EQ(f.percorso[8 - m].avviso, 80 + m);
}

TEST_F(BuiltInScenario, SignalsSlowdownAndCodes) {
  const ScenarioCompilato& f = f_->scenario;
  const cella_percorso& s = f.percorso[165];
  EXPECT_EQ(static_cast<int>(s.tipo), 1);
  EXPECT_EQ(s.valore1, 32);
  EXPECT_EQ(s.valore2, 11);
  EXPECT_EQ(s.valore3, 0);
  EXPECT_EQ(s.valore4, 8);
  EXPECT_EQ(s.tempo_segnale, 0);
  for (int m = 1; m <= 4; ++m) EXPECT_EQ(f.percorso[165 - 2 * m].avviso, 80 + m);
  EXPECT_EQ(static_cast<int>(f.percorso[141].tipo), 1);
  EXPECT_EQ(f.percorso[141].valore1, 43);

  EXPECT_EQ(static_cast<int>(f.percorso[858].tipo), 3);
  EXPECT_EQ(static_cast<int>(f.percorso[862].tipo), 2);
  EXPECT_EQ(static_cast<int>(f.percorso[834].tipo), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(static_cast<int>(f.percorso[833 - i].tipo), 5);
    EXPECT_EQ(f.percorso[833 - i].valore1, i + 1);
  }

  std::vector<int> codes;
  for (int c = 0; c <= f.ultima_cella(); ++c)
    if (f.percorso[c].tipo == TipoCella::codice) codes.push_back(c);
  EXPECT_EQ(codes, (std::vector<int>{840, 847, 853, 872}));
  for (int c : codes) EXPECT_EQ(f.percorso[c].valore1, 180);
}

}  // namespace
}  // namespace genera
