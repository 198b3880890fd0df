#include "traincomp/signals.h"

#include <gtest/gtest.h>

#include <optional>

#include "traincomp/test_state.h"

namespace genera {
namespace {

constexpr IdRecord kRecord = 1;

ValoriSegnale segnale(int32_t posizione, int32_t sx, int32_t s1, int32_t s2, int32_t s3,
                      int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3, int32_t tempo) {
  return {posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo};
}

Esito posa(StatoTreno& t, ValoriSegnale& v) { return memo_segnale(t.s, v, kRecord); }

TEST(MemoSegnale, BuiltInSignalsPackTheirValues) {
  const struct {
    ValoriSegnale s;
    int32_t cella;
    int v1, v2, v3, v4;
    int avviso1;  // the marker nearest the signal; the others follow 1 apart
  } cases[] = {
      {segnale(8200, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0), 165, 32, 11, 0, 8, 81},
      {segnale(7000, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0), 141, 43, 11, 0, 4, 41},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    ValoriSegnale s = c.s;
    EXPECT_EQ(codice(posa(t, s)), 0);
    const cella_percorso& k = t.cella(c.cella);
    EXPECT_EQ(k.tipo, TipoCella::segnale);
    EXPECT_EQ(k.valore1, c.v1);
    EXPECT_EQ(k.valore2, c.v2);
    EXPECT_EQ(k.valore3, c.v3);
    EXPECT_EQ(k.valore4, c.v4);
    EXPECT_EQ(k.tempo_segnale, 0);
    for (int m = 1; m <= 4; ++m) EXPECT_EQ(t.cella(c.cella - 2 * m).avviso, c.avviso1 + m - 1);
    for (int32_t odd = c.cella - 7; odd < c.cella; odd += 2) EXPECT_EQ(t.cella(odd).avviso, 0);
    EXPECT_EQ(t.cella(c.cella - 10).avviso, 0);
  }
}

// A time the rules raise or drop is said; one they keep (or that only wraps,
// which its field says) is not.
TEST(MemoSegnale, TimeIsRaisedTo101AndKeptOnlyWithLeftKind2) {
  const struct {
    int32_t tempo, sx;
    int32_t tempo_dopo;
    int tempo_segnale;
    bool avvisato;
  } cases[] = {
      {50, 2, 101, 101, true},   {215, 2, 215, 215, false}, {215, 1, 215, 0, true},
      {0, 2, 0, 0, false},       {1, 2, 101, 101, true},    {100, 2, 101, 101, true},
      {101, 2, 101, 101, false}, {50, 1, 101, 0, true},     {0, 1, 0, 0, false},
      {300, 2, 300, 44, false},  // a byte keeps the low 8 bits
  };
  for (const auto& c : cases) {
    StatoTreno t;
    ValoriSegnale s = segnale(8200, c.sx, 0, 0, 0, 0, c.sx, 0, 0, 0, c.tempo);
    ASSERT_EQ(codice(posa(t, s)), 0);
    EXPECT_EQ(s.tempo, c.tempo_dopo) << c.tempo << " " << c.sx;
    EXPECT_EQ(t.cella(165).tempo_segnale, c.tempo_segnale) << c.tempo << " " << c.sx;
    ASSERT_EQ(t.s.diagnostiche.size(), c.avvisato ? 1u : 0u) << c.tempo << " " << c.sx;
    if (c.avvisato) {
      EXPECT_EQ(t.s.diagnostiche[0].avviso, Avviso::valore_cambiato);
    }
  }
}

TEST(MemoSegnale, PackedFieldsWrapInsteadOfFailing) {
  StatoTreno t;
  ValoriSegnale s = segnale(8200, 30, 4000, -4000, 3277, 10000, 0, 0, 0, 0, 0);
  ASSERT_EQ(codice(posa(t, s)), 0);
  EXPECT_EQ(t.cella(165).valore1, -25536);  // 40000 - 65536
  EXPECT_EQ(t.cella(165).valore2, 25536);
  EXPECT_EQ(t.cella(165).valore3, -32766);
  EXPECT_EQ(t.cella(165).valore4, -30982);  // 100090 - 2 * 65536
  EXPECT_EQ(t.cella(163).avviso, 133);      // 901 - 3 * 256
}

TEST(MemoSegnale, ATunnelMarkerCellTakesTheSignal) {
  StatoTreno t;
  t.cella(165).tipo = TipoCella::marca_galleria;
  ValoriSegnale s = segnale(8200, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0);
  EXPECT_EQ(codice(posa(t, s)), 0);
  EXPECT_EQ(static_cast<int>(t.cella(165).tipo), 1);
}

TEST(MemoSegnale, AnOccupiedCellIsRefusedWithCode16AndNothingWritten) {
  StatoTreno t;
  ValoriSegnale primo = segnale(8200, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0);
  ASSERT_EQ(codice(posa(t, primo)), 0);
  // Neighbours that round half to even away from cell 165 are accepted.
  ValoriSegnale dopo = segnale(8225, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0);  // 165.5 -> 166
  ASSERT_EQ(codice(posa(t, dopo)), 0);
  ValoriSegnale prima = segnale(8175, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0);  // 164.5 -> 164
  ASSERT_EQ(codice(posa(t, prima)), 0);
  EXPECT_EQ(static_cast<int>(t.cella(166).tipo), 1);
  EXPECT_EQ(static_cast<int>(t.cella(164).tipo), 1);

  ValoriSegnale stesso = segnale(8180, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0);  // 164.6 -> 165
  const Esito r = posa(t, stesso);
  ASSERT_FALSE(r.prosegue());
  EXPECT_EQ(codice(r), 16);
  EXPECT_EQ(r.posizione, 8180);
  EXPECT_EQ(r.testo, "signal at 8180 m falls on cell 165, which already holds a signal");
  EXPECT_EQ(t.cella(165).valore1, 32);
  EXPECT_EQ(t.cella(163).avviso, 81);  // its markers were not written
  EXPECT_EQ(t.cella(157).avviso, 84);
}

TEST(MemoSegnale, MarkersOverwriteWithoutATest) {
  StatoTreno t;
  t.cella(163).avviso = 84;
  t.cella(163).tipo = TipoCella::fermata;
  ValoriSegnale s = segnale(8200, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0);
  ASSERT_EQ(codice(posa(t, s)), 0);
  EXPECT_EQ(t.cella(163).avviso, 41);
  EXPECT_EQ(t.cella(163).tipo, TipoCella::fermata);
}

TEST(MemoSegnale, SignalsNearTheStartSkipTheMarkersBeforeCell0) {
  const struct {
    int32_t posizione;
    int32_t cella;
    int marcatori;  // markers that land on the grid
  } cases[] = {{350, 8, 4}, {300, 7, 3}, {100, 3, 1}, {0, 1, 0}, {-50, 0, 0}};
  for (const auto& c : cases) {
    StatoTreno t;
    ValoriSegnale s = segnale(c.posizione, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0);
    ASSERT_EQ(codice(posa(t, s)), 0) << c.posizione;
    EXPECT_EQ(static_cast<int>(t.cella(c.cella).tipo), 1) << c.posizione;
    int scritti = 0;
    for (int32_t k = 0; k < c.cella; ++k) scritti += t.cella(k).avviso != 0;
    EXPECT_EQ(scritti, c.marcatori) << c.posizione;
  }
}

TEST(MemoSegnale, ACellOutsideTheGridIsRefusedWithCode23) {
  for (int32_t posizione : {-100, 96000}) {
    StatoTreno t;
    ValoriSegnale s = segnale(posizione, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0);
    const Esito r = posa(t, s);
    ASSERT_FALSE(r.prosegue()) << posizione;
    EXPECT_EQ(codice(r), 23) << posizione;
    EXPECT_EQ(r.posizione, posizione);
  }
}

}  // namespace
}  // namespace genera
