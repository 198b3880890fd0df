#include "traincomp/profiles.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "traincomp/test_state.h"

namespace genera {
namespace {

constexpr IdRecord kRecord = 1;

struct Tratto {
  int32_t da, a;
  int valore;
};

void controlla(StatoTreno& s, uint8_t cella_percorso::*campo, const std::vector<Tratto>& attesi) {
  for (const Tratto& t : attesi)
    for (int32_t k = t.da; k <= t.a; ++k) ASSERT_EQ(s.cella(k).*campo, t.valore) << "cell " << k;
}

// Both profiles of one train, as the reader keeps them.
struct DueProfili {
  StatoTreno t;
  StatoProfilo velocita;
  StatoProfilo aderenza;

  // A speed record that must be taken; `velocita_letta` gives what it answered.
  void v(int32_t p, int32_t kmh) { EXPECT_EQ(codice(velocita_letta(p, kmh)), 0) << p; }
  Esito velocita_letta(int32_t p, int32_t kmh) {
    return record_velocita(t.s, velocita, p, kmh, kRecord);
  }
  void a(int32_t p, int32_t valore) { record_aderenza(t.s, aderenza, p, valore, kRecord); }
  void coda() { EXPECT_EQ(codice(coda_letta()), 0); }
  Esito coda_letta() { return coda_profili(t.s, velocita, aderenza); }
};

TEST(Profili, BuiltInRecordsGiveTheScenarioProfiles) {
  DueProfili s;
  for (auto [p, v] : std::vector<std::pair<int32_t, int32_t>>{{0, 95},
                                                              {2000, 150},
                                                              {18350, 160},
                                                              {58500, 135},
                                                              {61600, 75},
                                                              {64250, 160},
                                                              {87500, 110}})
    s.v(p, v);
  for (auto [p, a] : std::vector<std::pair<int32_t, int32_t>>{{0, 90}, {34100, 85}, {59400, 85}})
    s.a(p, a);
  s.coda();
  controlla(s.t, &cella_percorso::velocita,
            {{0, 39, 19},
             {40, 366, 30},
             {367, 1169, 32},
             {1170, 1231, 27},
             {1232, 1284, 15},
             {1285, 1749, 32},
             {1750, 1917, 22},
             {1918, 1920, 0}});
  controlla(s.t, &cella_percorso::aderenza, {{0, 681, 90}, {682, 1917, 85}, {1918, 1920, 0}});
}

TEST(Profili, PositionsRoundHalfToEven) {
  // 2025 m is cell 40.5 -> 40; 2075 m is 41.5 -> 42.
  DueProfili s;
  s.v(0, 50);
  s.v(2025, 100);
  EXPECT_EQ(s.velocita.cursore, 40);
  s.v(2075, 150);
  EXPECT_EQ(s.velocita.cursore, 42);
  s.coda();
  controlla(s.t, &cella_percorso::velocita,
            {{0, 39, 10}, {40, 41, 20}, {42, 1917, 30}, {1918, 1920, 0}});
}

TEST(Profili, SpeedsAreStoredInFifthsRoundedToTheNearest) {
  const struct {
    int32_t kmh;
    int cella;
  } cases[] = {{72, 14}, {73, 15}, {0, 0}, {-2, 0}, {1277, 255}};
  for (const auto& c : cases) {
    DueProfili s;
    s.v(0, c.kmh);
    s.v(100, 0);
    EXPECT_EQ(s.t.cella(0).velocita, c.cella) << c.kmh;
    EXPECT_EQ(s.t.cella(1).velocita, c.cella) << c.kmh;
  }
}

TEST(Profili, ASpeedThatDoesNotFitAByteFailsWhenItIsWritten) {
  for (int32_t kmh : {1278, -3}) {
    DueProfili s;
    s.v(0, kmh);  // only put in force: nothing written yet
    EXPECT_EQ(codice(s.velocita_letta(100, 50)), numero(Codice::guasto_lettura)) << kmh;
    DueProfili t;
    t.v(0, kmh);
    EXPECT_EQ(codice(t.coda_letta()), numero(Codice::guasto_lettura)) << kmh;
  }
  // A speed that never gets written fails nowhere.
  DueProfili s;
  s.v(0, 1300);
  s.v(0, 50);
}

TEST(Profili, AdhesionKeepsItsLowEightBits) {
  const struct {
    int32_t valore;
    int cella;
  } cases[] = {{90, 90}, {300, 44}, {-1, 255}, {256, 0}};
  for (const auto& c : cases) {
    DueProfili s;
    s.a(0, c.valore);
    s.coda();
    EXPECT_EQ(s.t.cella(0).aderenza, c.cella) << c.valore;
    EXPECT_EQ(s.t.cella(1917).aderenza, c.cella) << c.valore;
    EXPECT_EQ(s.t.cella(1918).aderenza, 0) << c.valore;
  }
}

TEST(Profili, RecordsAtOrBeforeTheCursorWriteOneCell) {
  DueProfili s;
  s.v(0, 50);  // nothing written
  EXPECT_EQ(s.velocita.cursore, 0);
  s.v(500, 100);  // cells 0 to 9
  s.v(500, 150);  // same position: one cell, 10
  s.v(200, 200);  // lower position: one cell, 11
  EXPECT_EQ(s.velocita.cursore, 12);
  controlla(s.t, &cella_percorso::velocita, {{0, 9, 10}, {10, 10, 20}, {11, 11, 30}, {12, 12, 0}});
}

TEST(Profili, NoRecordFillsTheGridWithZeroUpToUMinus3) {
  DueProfili s;
  s.t.cella(0).velocita = 7;
  s.t.cella(1917).aderenza = 7;
  s.t.cella(1918).velocita = 7;
  s.coda();
  EXPECT_EQ(s.t.cella(0).velocita, 0);
  EXPECT_EQ(s.t.cella(1917).aderenza, 0);
  EXPECT_EQ(s.t.cella(1918).velocita, 7);
  EXPECT_EQ(s.velocita.cursore, 1918);
  EXPECT_EQ(s.aderenza.cursore, 1918);
}

TEST(Profili, OutOfOrderRecordsStopAtUAndTheTailWritesOneCellThere) {
  // Each profile alike: the cursor never passes U, cell U is never written
  // by a record, and the tail fill writes exactly the cell under its cursor.
  for (bool velocita : {true, false}) {
    DueProfili s;
    auto record = [&](int32_t p, int32_t valore) {
      if (velocita)
        s.v(p, valore);
      else
        s.a(p, valore);
    };
    uint8_t cella_percorso::*campo =
        velocita ? &cella_percorso::velocita : &cella_percorso::aderenza;
    const int32_t& cursore = velocita ? s.velocita.cursore : s.aderenza.cursore;
    record(0, 50);
    record(95900, 100);  // cells 0 to 1917
    EXPECT_EQ(cursore, 1918);
    for (int i = 0; i < 5; ++i) record(50, 150);
    EXPECT_EQ(cursore, 1920);
    EXPECT_EQ(s.t.cella(1918).*campo, velocita ? 20 : 100);
    EXPECT_EQ(s.t.cella(1919).*campo, velocita ? 30 : 150);
    EXPECT_EQ(s.t.cella(1920).*campo, 0);
    s.coda();
    EXPECT_EQ(s.t.cella(1920).*campo, velocita ? 30 : 150);
    EXPECT_EQ(cursore, 1921);
  }
}

TEST(Profili, TheTailWritesOneCellWhenTheCursorStandsAtUMinus2) {
  DueProfili s;
  s.v(0, 50);
  s.v(95900, 100);  // cursor now U - 2
  s.coda();
  EXPECT_EQ(s.t.cella(1917).velocita, 10);
  EXPECT_EQ(s.t.cella(1918).velocita, 20);
  EXPECT_EQ(s.t.cella(1919).velocita, 0);
}

}  // namespace
}  // namespace genera
