#include "traincomp/slowdowns.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <utility>

#include "traincomp/test_state.h"

namespace genera {
namespace {

constexpr IdRecord kRecord = 1;

struct Attesa {
  int32_t cella;
  int tipo, v1, v2, v3;
};

void controlla(StatoTreno& t, std::initializer_list<Attesa> attese) {
  for (const Attesa& a : attese) {
    const cella_percorso& c = t.cella(a.cella);
    EXPECT_EQ(static_cast<int>(c.tipo), a.tipo) << "cell " << a.cella;
    EXPECT_EQ(c.valore1, a.v1) << "cell " << a.cella;
    EXPECT_EQ(c.valore2, a.v2) << "cell " << a.cella;
    EXPECT_EQ(c.valore3, a.v3) << "cell " << a.cella;
  }
}

int celle_occupate(StatoTreno& t) {
  int n = 0;
  for (const cella_percorso& c : t.s.percorso) n += c.tipo != TipoCella::binario;
  return n;
}

Esito rallentamento(StatoTreno& t, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                    int32_t d_v) {
  return memo_rallentamento(t.s, x, v, l, f_tt, f_ta, d_v, kRecord);
}

Esito abbattimento(StatoTreno& t, int32_t p, int32_t w) {
  return memo_abbattimento(t.s, p, w, kRecord);
}

TEST(MemoRallentamento, BuiltInSlowdown) {
  StatoTreno t;
  ASSERT_EQ(codice(rallentamento(t, 42850, 60, 200, 0, 1, 50)), 0);
  controlla(t, {{858, 3, 60, 50, 0},
                {862, 2, 60, 50, 0},
                {834, 4, 60, 50, 0},
                {833, 5, 1, 1, 0},
                {832, 5, 2, 2, 0},
                {831, 5, 3, 3, 0},
                {830, 5, 4, 4, 0}});
  EXPECT_EQ(celle_occupate(t), 7);  // the cells between start and end stay as they were
}

TEST(MemoRallentamento, NoWarningBoardUpTo1500Metres) {
  const struct {
    int32_t x;
    int celle;
    int32_t avviso;  // 0: none
  } cases[] = {{1500, 2, 0}, {1550, 7, 8}, {1000, 2, 0}};
  for (const auto& c : cases) {
    StatoTreno t;
    ASSERT_EQ(codice(rallentamento(t, c.x, 60, 200, 0, 1, 0)), 0) << c.x;
    EXPECT_EQ(celle_occupate(t), c.celle) << c.x;
    if (c.avviso != 0) {
      EXPECT_EQ(static_cast<int>(t.cella(c.avviso).tipo), 4);
      for (int i = 1; i <= 4; ++i) EXPECT_EQ(t.cella(c.avviso - i).valore1, i);
    }
  }
}

TEST(MemoRallentamento, ZeroDvLeavesValore2AndFttIsAlwaysWritten) {
  StatoTreno t;
  for (int32_t k : {858, 862, 834, 833}) {
    t.cella(k).valore2 = 77;
    t.cella(k).valore3 = 9;
  }
  ASSERT_EQ(codice(rallentamento(t, 42850, 60, 200, 0, 1, 0)), 0);
  controlla(t, {{858, 3, 60, 77, 0}, {862, 2, 60, 77, 0}, {834, 4, 60, 77, 9}, {833, 5, 1, 77, 9}});
}

TEST(MemoRallentamento, TunnelMarkersAreFreeAndLengthZeroEndsAsAStart) {
  StatoTreno t;
  t.cella(858).tipo = TipoCella::marca_galleria;
  t.cella(862).tipo = TipoCella::marca_galleria;
  ASSERT_EQ(codice(rallentamento(t, 42850, 60, 200, 5, 0, 0)), 0);
  EXPECT_EQ(static_cast<int>(t.cella(858).tipo), 3);
  EXPECT_EQ(static_cast<int>(t.cella(862).tipo), 2);
  EXPECT_EQ(static_cast<int>(t.cella(833).tipo), 0);  // f_ta 0: no four cells

  StatoTreno z;
  ASSERT_EQ(codice(rallentamento(z, 42850, 60, 0, 5, 0, 0)), 0);
  controlla(z, {{858, 3, 60, 0, 5}});
}

// A slowdown whose end rounds onto its start cell is laid as the rules lay
// it, a lone start cell, and reported as an error of our own: the rules'
// outcome stays as it was. Halves round to even, so 50 m from a start on a
// half cell is not enough; more than 50 m always is.
TEST(MemoRallentamento, AnEndOnTheStartCellIsAnErrorOfOurOwn) {
  const struct {
    int32_t x, l;
    bool errore;
  } cases[] = {
      {42850, 2, true},   {42850, 25, true},  {42850, 26, false}, {42825, 50, true},
      {42825, 51, false}, {42874, 50, false}, {42850, 0, false},  // 0 or less: said by its field
      {42850, 200, false}};
  for (const auto& c : cases) {
    StatoTreno t;
    ASSERT_EQ(codice(rallentamento(t, c.x, 60, c.l, 0, 0, 0)), 0) << c.l;
    EXPECT_EQ(t.s.codice_errore, Codice::nessuno);
    EXPECT_EQ(ha_errori(t.s), c.errore) << c.l;
    if (c.errore) {
      EXPECT_EQ(t.s.diagnostiche[0].codice, Codice::rallentamento_senza_celle);
      EXPECT_EQ(static_cast<int>(t.cella(858).tipo), 3);
      EXPECT_EQ(celle_occupate(t), 2);  // the start cell and the warning board
    }
  }
}

TEST(MemoRallentamento, ASlowdownInsideAnotherIsAWarningAtTheLater) {
  const struct {
    int32_t x, l;
    bool avvisato;
  } cases[] = {{42950, 400, true},   // starts inside
               {42650, 100, false},  // ends before the first starts
               {42650, 300, true},   // ends inside
               {42750, 600, true},   // around it
               {43100, 200, false},  // starts after its end
               {42400, 100, false}};
  for (const auto& c : cases) {
    StatoTreno t;
    ASSERT_EQ(codice(memo_rallentamento(t.s, 42850, 60, 200, 0, 0, 0, 1)), 0);
    ASSERT_EQ(codice(memo_rallentamento(t.s, c.x, 80, c.l, 0, 0, 0, 2)), 0) << c.x;
    ASSERT_EQ(t.s.diagnostiche.size(), c.avvisato ? 1u : 0u) << c.x;
    if (c.avvisato) {
      EXPECT_EQ(t.s.diagnostiche[0].avviso, Avviso::rallentamenti_sovrapposti);
    }
  }
  // A slowdown with no stretch (a lone start cell) has nothing to overlap.
  StatoTreno t;
  ASSERT_EQ(codice(memo_rallentamento(t.s, 42850, 60, 2, 0, 0, 0, 1)), 0);
  ASSERT_EQ(codice(memo_rallentamento(t.s, 43850, 60, 400, 0, 0, 0, 2)), 0);
  ASSERT_EQ(t.s.diagnostiche.size(), 1u);
  EXPECT_EQ(t.s.diagnostiche[0].codice, Codice::rallentamento_senza_celle);
}

TEST(MemoRallentamento, RefusalsGiveTheirCodeAndTheStart) {
  // Each case occupies one cell; 17 to 19 write nothing, 20 keeps the three
  // main cells.
  const struct {
    int32_t occupata;
    int32_t codice;
    int celle_scritte;
  } cases[] = {{834, 17, 0}, {858, 18, 0}, {862, 19, 0}, {833, 20, 3}, {830, 20, 3}};
  for (const auto& c : cases) {
    StatoTreno t;
    t.cella(c.occupata).tipo = TipoCella::segnale;
    const Esito r = rallentamento(t, 42850, 60, 200, 0, 1, 50);
    ASSERT_FALSE(r.prosegue()) << c.occupata;
    EXPECT_EQ(codice(r), c.codice) << c.occupata;
    EXPECT_EQ(r.posizione, 42850) << c.occupata;
    EXPECT_EQ(celle_occupate(t), 1 + c.celle_scritte) << c.occupata;
  }
}

TEST(MemoRallentamento, RefusalTextsNameTheCell) {
  const struct {
    int32_t occupata;
    TipoCella tipo;
    const char* testo;
  } cases[] = {
      {831, TipoCella::cartello,
       "slowdown at 42850 m: of the four cells before its warning board, cell 831 already "
       "holds an indicator board"},
      {862, TipoCella::segnale, "slowdown at 42850 m: its end cell 862 already holds a signal"},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    t.cella(c.occupata).tipo = c.tipo;
    const Esito r = rallentamento(t, 42850, 60, 200, 0, 1, 50);
    ASSERT_FALSE(r.prosegue()) << c.occupata;
    EXPECT_EQ(r.testo, c.testo);
  }
}

TEST(MemoRallentamento, StartOrEndOffTheGridIsRefusedWithCode23) {
  const struct {
    int32_t x, l;
  } cases[] = {
      {95000, 1000},        // end cell 1921, past U = 1920
      {-50, 200},           // negative start
      {1000, -2000},        // end before cell 0
      {95900, 2147483647},  // x + l beyond 32 bits
      {100000, 0},          // start past the grid (no reach check here)
  };
  for (const auto& c : cases) {
    StatoTreno t;
    const Esito r = rallentamento(t, c.x, 60, c.l, 0, 1, 50);
    ASSERT_FALSE(r.prosegue()) << c.x << " " << c.l;
    EXPECT_EQ(codice(r), 23) << c.x << " " << c.l;
    EXPECT_EQ(r.posizione, c.x);
    EXPECT_EQ(celle_occupate(t), 0);
  }
  // The last cell of the grid is a valid end.
  StatoTreno t;
  EXPECT_EQ(codice(rallentamento(t, 95000, 60, 950, 0, 1, 50)), 0);
  EXPECT_EQ(static_cast<int>(t.cella(1920).tipo), 2);
}

TEST(MemoAbbattimento, ValueAboveZeroGivesACodeCellElseACut) {
  const struct {
    int32_t w;
    int tipo;
    int valore1;
  } cases[] = {{180, 12, 180}, {0, 13, 33}, {-5, 13, 33}, {70000, 12, 4464}};
  for (const auto& c : cases) {
    StatoTreno t;
    t.cella(240).valore1 = 33;
    ASSERT_EQ(codice(abbattimento(t, 12000, c.w)), 0) << c.w;
    EXPECT_EQ(static_cast<int>(t.cella(240).tipo), c.tipo) << c.w;
    EXPECT_EQ(t.cella(240).valore1, c.valore1) << c.w;
  }
}

TEST(MemoAbbattimento, TakesTheCellThatHoldsItsPosition) {
  // round(p / 50), half to even: 12025 -> 240, 12075 -> 242.
  for (auto [p, k] : {std::pair{12025, 240}, std::pair{12075, 242}, std::pair{12049, 241}}) {
    StatoTreno t;
    ASSERT_EQ(codice(abbattimento(t, p, 1)), 0) << p;
    EXPECT_EQ(static_cast<int>(t.cella(k).tipo), 12) << p;
  }
}

TEST(MemoAbbattimento, OccupiedOrOffTheGridIsRefused) {
  StatoTreno t;
  t.cella(240).tipo = TipoCella::abbattimento;
  const Esito r = abbattimento(t, 12000, 180);
  ASSERT_FALSE(r.prosegue());
  EXPECT_EQ(codice(r), 7);
  EXPECT_EQ(r.posizione, 12000);
  EXPECT_EQ(static_cast<int>(t.cella(240).tipo), 13);

  StatoTreno u;
  u.cella(240).tipo = TipoCella::marca_galleria;
  EXPECT_EQ(codice(abbattimento(u, 12000, 180)), 0);

  for (int32_t p : {-26, 96050}) {
    StatoTreno v;
    const Esito fuori = abbattimento(v, p, 180);
    ASSERT_FALSE(fuori.prosegue()) << p;
    EXPECT_EQ(codice(fuori), 23) << p;
    EXPECT_EQ(fuori.posizione, p);
  }
}

}  // namespace
}  // namespace genera
