#include "compiler/race_codes.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

void nomi(ScenarioCompilato& f, const std::string& treno, const std::string& linea) {
  f.testata_linea[kVoceRipetizione].nome = treno;
  f.testata_linea[kVoceLinea].nome = linea;
}

TEST(CodiciGara, SumsOfTheTwentyFiveCharacterText) {
  const struct {
    const char* treno;
    const char* linea;
    int32_t og, st;
  } cases[] = {
      {"R47316", "LIVRA_MONTALBA", 2347, 32285},
      {"r47316", "livra_montalba", 2347, 32285},  // case does not matter
      {"", "", 2583, 34355},
      // 25 characters or more: the pad does not contribute.
      {"zzzzzzzzzzzzz", "zzzzzzzzzzzzzzzzzz", 25 * 'z', 325 * 'z'},
  };
  for (const auto& c : cases) {
    ScenarioCompilato f;
    nomi(f, c.treno, c.linea);
    EXPECT_EQ(codice_gara_og(f.testata_linea), c.og) << c.treno << c.linea;
    EXPECT_EQ(codice_gara_st(f.testata_linea), c.st) << c.treno << c.linea;
  }
}

TEST(CodiciGara, HighCharactersCountFrom128Up) {
  ScenarioCompilato f;
  nomi(f, std::string(25, '\xFF'), "");
  EXPECT_EQ(codice_gara_og(f.testata_linea), 6375);
  EXPECT_EQ(codice_gara_st(f.testata_linea), 82875);
}

TEST(TimbraCodiciGara, StampsMarkersAndCodes) {
  ScenarioCompilato f;
  nomi(f, "R47316", "LIVRA_MONTALBA");
  f.percorso.resize(1921);
  ASSERT_EQ(timbra_codici_gara(f), Codice::nessuno);
  EXPECT_EQ(f.testata_linea[kVoceLinea].intero1, 610);
  EXPECT_EQ(f.testata_linea[kVoceLinea].dato4, 32285);
  EXPECT_EQ(f.percorso[1].valore1, 5121);
  EXPECT_EQ(f.percorso[1].valore2, 2347);
}

TEST(TimbraCodiciGara, TakenSlotsStopTheBuild) {
  struct Caso {
    const char* nome;
    void (*prepara)(ScenarioCompilato&);
    int32_t atteso;
  };
  const Caso cases[] = {
      {"cell 1 valore1", [](ScenarioCompilato& f) { f.percorso[1].valore1 = 32; }, 1250},
      {"entry 85 intero1", [](ScenarioCompilato& f) { f.testata_linea[kVoceLinea].intero1 = 1; },
       1250},
      {"cell 1 valore2", [](ScenarioCompilato& f) { f.percorso[1].valore2 = 11; }, 1251},
      {"entry 85 dato4", [](ScenarioCompilato& f) { f.testata_linea[kVoceLinea].dato4 = -1; },
       1251},
  };
  for (const Caso& c : cases) {
    ScenarioCompilato f;
    f.percorso.resize(10);
    c.prepara(f);
    EXPECT_EQ(numero(timbra_codici_gara(f)), c.atteso) << c.nome;
  }
}

TEST(TimbraCodiciGara, WithoutAGridOnlyTheTableIsStamped) {
  ScenarioCompilato f;
  ASSERT_EQ(timbra_codici_gara(f), Codice::nessuno);
  EXPECT_EQ(f.testata_linea[kVoceLinea].intero1, 610);
  EXPECT_EQ(f.testata_linea[kVoceLinea].dato4, 34355);
  EXPECT_TRUE(f.percorso.empty());
}

}  // namespace
}  // namespace genera
