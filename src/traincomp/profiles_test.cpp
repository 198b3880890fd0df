#include "traincomp/profiles.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "model/run_failure.h"
#include "traincomp/test_state.h"

namespace genera {
namespace {

struct Tratto {
  int32_t da, a;
  int valore;
};

void controlla(StatoTreno& s, uint8_t cella_percorso::*campo, const std::vector<Tratto>& attesi) {
  for (const Tratto& t : attesi)
    for (int32_t k = t.da; k <= t.a; ++k)
      ASSERT_EQ(s.cella(k).*campo, t.valore) << "cell " << k;
}

TEST(Profili, BuiltInRecordsGiveTheScenarioProfiles) {
  StatoTreno s;
  for (auto [p, v] : std::vector<std::pair<int32_t, int32_t>>{
           {0, 95}, {2000, 150}, {18350, 160}, {58500, 135}, {61600, 75}, {64250, 160}, {87500, 110}})
    record_velocita(s.f, p, v);
  for (auto [p, a] : std::vector<std::pair<int32_t, int32_t>>{{0, 90}, {34100, 85}, {59400, 85}})
    record_aderenza(s.f, p, a);
  coda_profili(s.f);
  controlla(s, &cella_percorso::velocita,
            {{0, 39, 19}, {40, 366, 30}, {367, 1169, 32}, {1170, 1231, 27}, {1232, 1284, 15},
             {1285, 1749, 32}, {1750, 1917, 22}, {1918, 1920, 0}});
  controlla(s, &cella_percorso::aderenza, {{0, 681, 90}, {682, 1917, 85}, {1918, 1920, 0}});
}

TEST(Profili, PositionsRoundHalfToEven) {
  // 2025 m is cell 40.5 -> 40; 2075 m is 41.5 -> 42.
  StatoTreno s;
  record_velocita(s.f, 0, 50);
  record_velocita(s.f, 2025, 100);
  EXPECT_EQ(s.f.cursore_velocita, 40);
  record_velocita(s.f, 2075, 150);
  EXPECT_EQ(s.f.cursore_velocita, 42);
  coda_profili(s.f);
  controlla(s, &cella_percorso::velocita, {{0, 39, 10}, {40, 41, 20}, {42, 1917, 30}, {1918, 1920, 0}});
}

TEST(Profili, SpeedsAreStoredInFifthsRoundedToTheNearest) {
  const struct {
    int32_t kmh;
    int cella;
  } cases[] = {{72, 14}, {73, 15}, {0, 0}, {-2, 0}, {1277, 255}};
  for (const auto& c : cases) {
    StatoTreno s;
    record_velocita(s.f, 0, c.kmh);
    record_velocita(s.f, 100, 0);
    EXPECT_EQ(s.cella(0).velocita, c.cella) << c.kmh;
    EXPECT_EQ(s.cella(1).velocita, c.cella) << c.kmh;
  }
}

TEST(Profili, ASpeedThatDoesNotFitAByteFailsWhenItIsWritten) {
  for (int32_t kmh : {1278, -3}) {
    StatoTreno s;
    record_velocita(s.f, 0, kmh);   // only put in force: nothing written yet
    EXPECT_THROW(record_velocita(s.f, 100, 50), errore_esecuzione) << kmh;
    StatoTreno t;
    record_velocita(t.f, 0, kmh);
    EXPECT_THROW(coda_profili(t.f), errore_esecuzione) << kmh;
  }
  // A speed that never gets written fails nowhere.
  StatoTreno s;
  record_velocita(s.f, 0, 1300);
  EXPECT_NO_THROW(record_velocita(s.f, 0, 50));
}

TEST(Profili, AdhesionKeepsItsLowEightBits) {
  const struct {
    int32_t valore;
    int cella;
  } cases[] = {{90, 90}, {300, 44}, {-1, 255}, {256, 0}};
  for (const auto& c : cases) {
    StatoTreno s;
    record_aderenza(s.f, 0, c.valore);
    coda_profili(s.f);
    EXPECT_EQ(s.cella(0).aderenza, c.cella) << c.valore;
    EXPECT_EQ(s.cella(1917).aderenza, c.cella) << c.valore;
    EXPECT_EQ(s.cella(1918).aderenza, 0) << c.valore;
  }
}

TEST(Profili, RecordsAtOrBeforeTheCursorWriteOneCell) {
  StatoTreno s;
  record_velocita(s.f, 0, 50);        // nothing written
  EXPECT_EQ(s.f.cursore_velocita, 0);
  record_velocita(s.f, 500, 100);     // cells 0 to 9
  record_velocita(s.f, 500, 150);     // same position: one cell, 10
  record_velocita(s.f, 200, 200);     // lower position: one cell, 11
  EXPECT_EQ(s.f.cursore_velocita, 12);
  controlla(s, &cella_percorso::velocita, {{0, 9, 10}, {10, 10, 20}, {11, 11, 30}, {12, 12, 0}});
}

TEST(Profili, NoRecordFillsTheGridWithZeroUpToUMinus3) {
  StatoTreno s;
  s.cella(0).velocita = 7;
  s.cella(1917).aderenza = 7;
  s.cella(1918).velocita = 7;
  coda_profili(s.f);
  EXPECT_EQ(s.cella(0).velocita, 0);
  EXPECT_EQ(s.cella(1917).aderenza, 0);
  EXPECT_EQ(s.cella(1918).velocita, 7);
  EXPECT_EQ(s.f.cursore_velocita, 1918);
  EXPECT_EQ(s.f.cursore_aderenza, 1918);
}

TEST(Profili, OutOfOrderRecordsStopAtUAndTheTailWritesOneCellThere) {
  // Each profile alike: the cursor never passes U, cell U is never written
  // by a record, and the tail fill writes exactly the cell under its cursor.
  for (bool velocita : {true, false}) {
    StatoTreno s;
    auto record = velocita ? record_velocita : record_aderenza;
    uint8_t cella_percorso::*campo = velocita ? &cella_percorso::velocita : &cella_percorso::aderenza;
    int32_t& cursore = velocita ? s.f.cursore_velocita : s.f.cursore_aderenza;
    record(s.f, 0, 50);
    record(s.f, 95900, 100);   // cells 0 to 1917
    EXPECT_EQ(cursore, 1918);
    for (int i = 0; i < 5; ++i) record(s.f, 50, 150);
    EXPECT_EQ(cursore, 1920);
    EXPECT_EQ(s.cella(1918).*campo, velocita ? 20 : 100);
    EXPECT_EQ(s.cella(1919).*campo, velocita ? 30 : 150);
    EXPECT_EQ(s.cella(1920).*campo, 0);
    coda_profili(s.f);
    EXPECT_EQ(s.cella(1920).*campo, velocita ? 30 : 150);
    EXPECT_EQ(cursore, 1921);
  }
}

TEST(Profili, TheTailWritesOneCellWhenTheCursorStandsAtUMinus2) {
  StatoTreno s;
  record_velocita(s.f, 0, 50);
  record_velocita(s.f, 95900, 100);   // cursor now U - 2
  coda_profili(s.f);
  EXPECT_EQ(s.cella(1917).velocita, 10);
  EXPECT_EQ(s.cella(1918).velocita, 20);
  EXPECT_EQ(s.cella(1919).velocita, 0);
}

TEST(Profili, NoGridIsARunTimeFailure) {
  Form1 f;
  EXPECT_THROW(record_velocita(f, 0, 50), errore_esecuzione);
  EXPECT_THROW(record_aderenza(f, 0, 50), errore_esecuzione);
  EXPECT_THROW(coda_profili(f), errore_esecuzione);
}

}  // namespace
}  // namespace genera
