#include "postpass/signal_codes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace genera {
namespace {

constexpr int32_t kU = 1920;  // a line of 89000 m
constexpr const char* kTreno = "LIVRA_MONTALBA_R47316-.txt";

struct Griglia {
  Griglia() {
    s.percorso.assign(kU + 1, cella_percorso{});
    s.origini.celle.assign(kU + 1, OrigineCella{});
  }
  cella_percorso& operator[](int32_t k) { return s.percorso.at(static_cast<std::size_t>(k)); }
  void metti(int32_t k, TipoCella tipo, int16_t valore1 = 0) {
    (*this)[k].tipo = tipo;
    (*this)[k].valore1 = valore1;
  }
  // A slowdown as its record leaves it: start, end and (optionally) board.
  void rallentamento(int32_t inizio, int32_t fine, int16_t v) {
    metti(inizio, TipoCella::inizio_rallentamento, v);
    if (fine >= 0) metti(fine, TipoCella::fine_rallentamento, v);
  }
  std::vector<int32_t> codici() {
    std::vector<int32_t> out;
    for (int32_t k = 0; k <= s.ultima_cella(); ++k)
      if ((*this)[k].tipo == TipoCella::codice) out.push_back(k);
    return out;
  }
  std::vector<std::string> messaggi() const {
    std::vector<std::string> out;
    for (const Diagnostica& d : s.diagnostiche) out.push_back(formatta(d));
    return out;
  }
  void aggiungi() { aggiungi_codici(s, kTreno); }
  ScenarioCompilato s;
};

using Celle = std::vector<int32_t>;

TEST(AggiungiCodici, BuiltInSlowdownGetsExactlyFourCodes) {
  Griglia g;
  g.metti(834, TipoCella::avviso_rallentamento, 60);
  for (int32_t k = 830; k <= 833; ++k)
    g.metti(k, TipoCella::prima_avviso, static_cast<int16_t>(834 - k));
  for (int32_t k = 842; k <= 874; k += 4) g.metti(k, TipoCella::marca_galleria);
  g.rallentamento(858, 862, 60);
  g.metti(873, TipoCella::segnale, 40);
  g.aggiungi();
  EXPECT_EQ(g.codici(), (Celle{840, 847, 853, 872}));
  for (int32_t k : g.codici()) EXPECT_EQ(g[k].valore1, 180);
  EXPECT_EQ(numero(g.s.codice_errore), 0);
  EXPECT_TRUE(g.s.diagnostiche.empty());
}

TEST(AggiungiCodici, SignalsBeforeAWarningBoard) {
  const struct {
    const char* caso;
    int32_t avviso;
    std::vector<int32_t> segnali;
    Celle codici;
  } cases[] = {
      {"board at 2: nothing examined", 2, {1}, {}},
      {"board at 3: nothing examined", 3, {2}, {}},
      {"signal at cell 3 is the last examined", 6, {3}, {2}},
      {"two signals 5 and 15 cells before", 100, {95, 85}, {84, 94}},
      {"20 cells before is the farthest", 100, {80, 70}, {79}},
      {"a signal right behind another: the code goes two cells back", 100, {95, 96}, {93, 94}},
  };
  for (const auto& c : cases) {
    Griglia g;
    g.metti(c.avviso, TipoCella::avviso_rallentamento);
    for (int32_t s : c.segnali) g.metti(s, TipoCella::segnale);
    g.aggiungi();
    EXPECT_EQ(g.codici(), c.codici) << c.caso;
    EXPECT_TRUE(g.s.diagnostiche.empty()) << c.caso;
  }
}

TEST(AggiungiCodici, ExistingCodeCellsInFrontOfASignalAreLoweredTo180) {
  const struct {
    const char* caso;
    TipoCella tipo1;
    int16_t valore1;  // cell d - 1
    TipoCella tipo2;
    int16_t valore2;  // cell d - 2
    int16_t atteso1, atteso2;
    TipoCella tipo_atteso2;
  } cases[] = {
      {"free cell first", TipoCella::codice, 270, TipoCella::binario, 0, 270, 180,
       TipoCella::codice},
      {"d - 1 lowered", TipoCella::codice, 270, TipoCella::cartello, 5, 180, 5,
       TipoCella::cartello},
      {"a lower value stays", TipoCella::codice, 120, TipoCella::cartello, 5, 120, 5,
       TipoCella::cartello},
      {"d - 2 lowered", TipoCella::cartello, 5, TipoCella::codice, 300, 5, 180, TipoCella::codice},
  };
  for (const auto& c : cases) {
    Griglia g;
    g.metti(100, TipoCella::avviso_rallentamento);
    g.metti(90, TipoCella::segnale);
    g.metti(89, c.tipo1, c.valore1);
    g.metti(88, c.tipo2, c.valore2);
    g.aggiungi();
    EXPECT_EQ(g[89].valore1, c.atteso1) << c.caso;
    EXPECT_EQ(g[88].valore1, c.atteso2) << c.caso;
    EXPECT_EQ(g[88].tipo, c.tipo_atteso2) << c.caso;
    EXPECT_TRUE(g.s.diagnostiche.empty()) << c.caso;
  }
}

TEST(AggiungiCodici, ASignalWithNoRoomRecordsCode11) {
  Griglia g;
  g.metti(100, TipoCella::avviso_rallentamento);
  g.metti(90, TipoCella::segnale);
  g.metti(89, TipoCella::cartello);
  g.metti(88, TipoCella::fermata);
  g.aggiungi();
  EXPECT_EQ(numero(g.s.codice_errore), 11);
  EXPECT_EQ(g.s.posizione_errore, 4500);
  EXPECT_EQ(g.messaggi(), std::vector<std::string>{
                              "LIVRA_MONTALBA_R47316-.txt: error 11: no free cell for a code in "
                              "front of the signal at cell 90, 4500 m, before the slowdown warning "
                              "board at cell 100"});
}

TEST(AggiungiCodici, CodesBeforeAndAlongASlowdown) {
  const struct {
    const char* caso;
    int32_t inizio, fine;
    int16_t v;
    Celle occupate;
    int32_t segnale;  // 0: none
    Celle codici;
  } cases[] = {
      {"slow, all free", 100, 130, 60, {}, 140, {82, 89, 95, 108, 116, 124, 139}},
      {"as fast as 110: none along it", 100, 130, 110, {}, 140, {82, 89, 95, 139}},
      {"fast: the signal search starts at its own end", 100, 130, 150, {}, 142, {82, 89, 95, 141}},
      {"fast: 13 cells after the end is too far", 100, 130, 150, {}, 143, {82, 89, 95}},
      {"a signal right after the end cell: two cells back",
       100,
       130,
       60,
       {},
       131,
       {82, 89, 95, 108, 116, 124, 129}},
      {"start at 7: no codes before it", 7, 9, 110, {}, 0, {}},
      {"start at 8: only the first", 8, 10, 110, {}, 0, {3}},
      {"start at 14: two", 14, 16, 110, {}, 0, {3, 9}},
      {"start at 21: three", 21, 23, 110, {}, 0, {3, 10, 16}},
      {"first free among i - 5 to i - 7", 100, 102, 110, {95, 96, 89}, 0, {82, 88, 94}},
      {"k taken, k - 1 free: the next code 7 cells on",
       100,
       140,
       60,
       {108},
       0,
       {82, 89, 95, 107, 115, 123, 131, 139}},
      {"k and k - 1 taken: k + 1, the next 9 cells on",
       100,
       140,
       60,
       {107, 108},
       0,
       {82, 89, 95, 109, 117, 125, 133}},
      {"a negative speed is below 110", 100, 110, -5, {}, 0, {82, 89, 95, 108}},
  };
  for (const auto& c : cases) {
    Griglia g;
    g.rallentamento(c.inizio, c.fine, c.v);
    for (int32_t k : c.occupate) g.metti(k, TipoCella::cartello);
    if (c.segnale != 0) g.metti(c.segnale, TipoCella::segnale);
    g.aggiungi();
    EXPECT_EQ(g.codici(), c.codici) << c.caso;
    EXPECT_TRUE(g.s.diagnostiche.empty()) << c.caso;
  }
}

TEST(AggiungiCodici, NoRoomBeforeOrAlongASlowdownRecords12And13) {
  const struct {
    const char* caso;
    int16_t v;
    Celle occupate;
    int32_t segnale;
    Celle codici;
    std::vector<std::string> messaggi;
    int32_t codice, posizione;
  } cases[] = {
      {"B1 without a free cell",
       110,
       {95, 94, 93},
       0,
       {82, 89},
       {"LIVRA_MONTALBA_R47316-.txt: error 12: no free cell for a code among cells 95 to 93 "
        "before the slowdown starting at cell 100, 5000 m"},
       12,
       5000},
      {"B4 without a free cell: no further code along it",
       60,
       {107, 108, 109},
       0,
       {82, 89, 95},
       {"LIVRA_MONTALBA_R47316-.txt: error 13: no free cell for a code at cell 108, 5400 m along "
        "the slowdown starting at cell 100"},
       13,
       5400},
      {"B5 without a free cell",
       110,
       {139, 138},
       140,
       {82, 89, 95},
       {"LIVRA_MONTALBA_R47316-.txt: error 13: no free cell for a code in front of the signal at "
        "cell 140 after the slowdown ending at cell 130, 6500 m"},
       13,
       6500},
  };
  for (const auto& c : cases) {
    Griglia g;
    g.rallentamento(100, 130, c.v);
    for (int32_t k : c.occupate) g.metti(k, TipoCella::cartello);
    if (c.segnale != 0) g.metti(c.segnale, TipoCella::segnale);
    g.aggiungi();
    EXPECT_EQ(g.codici(), c.codici) << c.caso;
    EXPECT_EQ(g.messaggi(), c.messaggi) << c.caso;
    EXPECT_EQ(numero(g.s.codice_errore), c.codice) << c.caso;
    EXPECT_EQ(g.s.posizione_errore, c.posizione) << c.caso;
  }
}

TEST(AggiungiCodici, WalksNeverLeaveTheGrid) {
  const struct {
    const char* caso;
    int32_t inizio, fine;
    Celle occupate;
    int32_t segnale;
    Celle lungo;  // codes after the start
    int32_t codice;
  } cases[] = {
      {"no end: the walk stops at U", kU - 9, -1, {}, 0, {kU - 1}, 0},
      {"no end, the eighth cell is U", kU - 8, -1, {}, 0, {kU}, 0},
      {"k + 1 is the last cell", kU - 9, -1, {kU - 1, kU - 2}, 0, {kU}, 0},
      {"k + 1 would be past U", kU - 8, -1, {kU, kU - 1}, 0, {}, 13},
      {"end near U, signal on U", kU - 5, kU - 3, {}, kU, {kU - 1}, 0},
      {"start on U - 2 with no end", kU - 2, -1, {}, 0, {}, 0},
  };
  for (const auto& c : cases) {
    Griglia g;
    g.rallentamento(c.inizio, c.fine, 60);
    for (int32_t k : c.occupate) g.metti(k, TipoCella::cartello);
    if (c.segnale != 0) g.metti(c.segnale, TipoCella::segnale);
    g.aggiungi();
    Celle lungo;
    for (int32_t k : g.codici())
      if (k > c.inizio) lungo.push_back(k);
    EXPECT_EQ(lungo, c.lungo) << c.caso;
    EXPECT_EQ(numero(g.s.codice_errore), c.codice) << c.caso;
  }
}

TEST(AggiungiCodici, OnlyCellsOneToUMinus2AreVisited) {
  // A slowdown start on cell 0 or on U - 1 is never visited.
  Griglia g;
  g.rallentamento(0, 5, 60);
  g.rallentamento(kU - 1, kU, 60);
  g.aggiungi();
  EXPECT_TRUE(g.codici().empty());

  // Tiny and missing grids: nothing to do, nothing read outside them.
  ScenarioCompilato vuoto;
  aggiungi_codici(vuoto, kTreno);
  ScenarioCompilato piccolo;
  piccolo.percorso.resize(3);
  piccolo.origini.celle.resize(3);
  piccolo.percorso[1].tipo = TipoCella::inizio_rallentamento;
  aggiungi_codici(piccolo, kTreno);
  EXPECT_EQ(piccolo.percorso[1].tipo, TipoCella::inizio_rallentamento);
}

TEST(AggiungiCodici, CodesTurnTunnelMarkersAndAreNotSignals) {
  // The B5 code in front of the signal at 140 is not itself a signal for
  // the board at 150, whose rule A codes the signal at 140 two cells back.
  Griglia g;
  g.rallentamento(100, 130, 110);
  g.metti(139, TipoCella::marca_galleria);
  g.metti(140, TipoCella::segnale);
  g.metti(150, TipoCella::avviso_rallentamento);
  g.aggiungi();
  EXPECT_EQ(g.codici(), (Celle{82, 89, 95, 138, 139}));
}

TEST(Minimo, TheSmallerAndTheFirstOnATie) {
  EXPECT_EQ(minimo(180, 270), 180);
  EXPECT_EQ(minimo(180, 120), 120);
  EXPECT_EQ(minimo(-5, 180), -5);
  EXPECT_TRUE(std::signbit(minimo(-0.0, 0.0)));
  EXPECT_FALSE(std::signbit(minimo(0.0, -0.0)));
}

}  // namespace
}  // namespace genera
