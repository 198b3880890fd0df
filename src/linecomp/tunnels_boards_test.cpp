#include "linecomp/tunnels_boards.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/run_failure.h"

namespace genera {
namespace {

// The scenario's grid: length 89000, cells 0 to 1920.
void prepara(Form1& f, int32_t lunghezza = 89000) {
  alloca_percorso(f, lunghezza);
  f.numero_gallerie = 0;
  f.prossimo_cartello = kPrimoCartello;
}

std::vector<int> celle_con(const Form1& f, int galleria) {
  std::vector<int> v;
  for (std::size_t c = 0; c < f.percorso.size(); ++c)
    if (f.percorso[c].galleria == galleria) v.push_back(static_cast<int>(c));
  return v;
}

std::vector<int> marcatori(const Form1& f) {
  std::vector<int> v;
  for (std::size_t c = 0; c < f.percorso.size(); ++c)
    if (f.percorso[c].tipo == cella_marca_galleria) v.push_back(static_cast<int>(c));
  return v;
}

std::vector<int> intervallo(int da, int a, int passo = 1) {
  std::vector<int> v;
  for (int c = da; c <= a; c += passo) v.push_back(c);
  return v;
}

TEST(MemoMontagna, ScenarioTunnels) {
  Form1 f;
  prepara(f);
  messaggio err;
  ASSERT_TRUE(memo_montagna(f, 30300, 30600, 2, &err));
  ASSERT_TRUE(memo_montagna(f, 41950, 43750, 11, &err));
  EXPECT_EQ(celle_con(f, 2), intervallo(606, 611));
  EXPECT_EQ(celle_con(f, 1), intervallo(839, 874));
  EXPECT_EQ(marcatori(f), intervallo(842, 874, 4));
  EXPECT_EQ(f.numero_gallerie, 2);
  EXPECT_EQ(f.inizi_gallerie[2], 41950);
  EXPECT_EQ(f.fini_gallerie[2], 43750);
}

TEST(MemoMontagna, KindsAndSpacing) {
  const struct {
    const char* nome;
    int32_t inizio2, tipo2;  // second tunnel; the first runs 1000 to 2000
    int galleria;            // stored kind of the second
    bool marcatori;
  } casi[] = {
      {"150 m after the first: kind 3", 2150, 2, 3, false},
      {"151 m after: its own kind", 2151, 2, 2, false},
      {"overlap: kind 3", 1500, 5, 3, false},
      {"lit and close keeps its markers", 2100, 14, 3, true},
      {"kind 12: stored 2, lit", 5000, 12, 2, true},
      {"kind 10: stored 10, not lit", 5000, 10, 10, false},
      {"kind 266: lit, 256 stored as its low byte", 5000, 266, 0, true},
  };
  for (const auto& c : casi) {
    Form1 f;
    prepara(f);
    messaggio err;
    ASSERT_TRUE(memo_montagna(f, 1000, 2000, 1, &err));
    ASSERT_TRUE(memo_montagna(f, c.inizio2, c.inizio2 + 1000, c.tipo2, &err));
    const int prima = static_cast<int>(c.inizio2 / 50);
    EXPECT_EQ(f.percorso[static_cast<std::size_t>(prima + 1)].galleria, c.galleria) << c.nome;
    EXPECT_EQ(f.percorso[static_cast<std::size_t>(prima + 3)].tipo,
              c.marcatori ? cella_marca_galleria : cella_binario)
        << c.nome;
  }
}

TEST(MemoMontagna, MarkersOnlyOnEmptyCells) {
  Form1 f;
  prepara(f);
  f.percorso[23].tipo = cella_segnale;
  messaggio err;
  ASSERT_TRUE(memo_montagna(f, 1000, 1400, 11, &err));  // cells 20 to 27
  EXPECT_EQ(marcatori(f), (std::vector<int>{27}));
  EXPECT_EQ(f.percorso[23].tipo, cella_segnale);
  EXPECT_EQ(f.percorso[23].galleria, 1);
}

TEST(MemoMontagna, EndBeforeStartWritesNothingButCounts) {
  Form1 f;
  prepara(f);
  messaggio err;
  ASSERT_TRUE(memo_montagna(f, 1000, 1025, 2, &err));  // cells 20 to round(-0.5 + 20) = 20
  EXPECT_EQ(celle_con(f, 2), (std::vector<int>{20}));
  ASSERT_TRUE(memo_montagna(f, 2000, 1000, 2, &err));
  EXPECT_EQ(celle_con(f, 2), (std::vector<int>{20}));
  ASSERT_TRUE(memo_montagna(f, 1100, 1500, 5, &err));  // 1100 - 1000 <= 150: kind 3
  EXPECT_EQ(celle_con(f, 3), intervallo(22, 29));
}

TEST(MemoMontagna, ClippedToTheGrid) {
  Form1 f;
  prepara(f, 0);  // cells 0 to 140
  messaggio err;
  ASSERT_TRUE(memo_montagna(f, 6000, 2000000000, 11, &err));
  EXPECT_EQ(celle_con(f, 1), intervallo(120, 140));
  EXPECT_EQ(marcatori(f), intervallo(123, 140, 4));
  // A start before the line keeps its marker spacing from its own first cell.
  ASSERT_TRUE(memo_montagna(f, -500, 500, 13, &err));  // cells -10 to 9
  EXPECT_EQ(celle_con(f, 3), intervallo(0, 9));
  EXPECT_EQ(f.percorso[1].tipo, cella_marca_galleria);  // k = 12
  EXPECT_EQ(f.percorso[5].tipo, cella_marca_galleria);  // k = 16
  EXPECT_EQ(f.percorso[3].tipo, cella_binario);
}

TEST(MemoMontagna, The81stTunnelIsRefused) {
  Form1 f;
  prepara(f);
  messaggio err;
  for (int i = 1; i <= kMaxGallerie; ++i)
    ASSERT_TRUE(memo_montagna(f, i * 1000, i * 1000 + 100, 1, &err));
  EXPECT_FALSE(memo_montagna(f, 85000, 86000, 2, &err));
  EXPECT_EQ(f.codice_errore, 104);
  EXPECT_EQ(f.posizione_errore, 85000);
  EXPECT_EQ(err.codice, 104);
  EXPECT_EQ(err.posizione, 85000);
  EXPECT_EQ(f.numero_gallerie, kMaxGallerie);
  EXPECT_TRUE(celle_con(f, 2).empty());
}

TEST(MemoIndicatoriVMax, Packing) {
  const struct {
    int32_t v[9];
    int cella;
    int16_t valore[4];
  } casi[] = {
      {{57000, 130, 135, 140, 2, 0, 0, 0, 0}, 1141, {2600, 2700, 2800, 20}},
      {{2000, 140, 150, 150, 0, 0, 0, 0, 0}, 41, {2800, 3000, 3000, 0}},
      {{75, 1, 2, 3, 4, 5, 10, 95, 6}, 2, {21, 42, 79, 46}},
      {{125, 0, 0, 0, 0, 12, 13, 17, 0}, 4, {2, 3, 3, 0}},  // 2.4, 2.6, 3.4
      {{500, 0, 0, 0, 0, 2, 7, -7, 0}, 11, {0, 1, -1, 0}},  // 0.4, 1.4, -1.4
      {{500, 1638, 0, 0, 3276, 0, 0, 0, 8}, 11, {32760, 0, 0, -32768}},
  };
  for (const auto& c : casi) {
    Form1 f;
    prepara(f);
    messaggio err;
    const int32_t* v = c.v;
    ASSERT_TRUE(
        memo_indicatori_v_max(f, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], &err))
        << v[0];
    const cella_percorso& cella = f.percorso[static_cast<std::size_t>(c.cella)];
    EXPECT_EQ(cella.tipo, cella_indicatore_v_max) << v[0];
    EXPECT_EQ(cella.valore1, c.valore[0]) << v[0];
    EXPECT_EQ(cella.valore2, c.valore[1]) << v[0];
    EXPECT_EQ(cella.valore3, c.valore[2]) << v[0];
    EXPECT_EQ(cella.valore4, c.valore[3]) << v[0];
  }
}

TEST(MemoIndicatoriVMax, PackedSpeedBeyond16BitsIsARunTimeFailure) {
  Form1 f;
  prepara(f);
  messaggio err;
  EXPECT_THROW(memo_indicatori_v_max(f, 500, 100, 100, 1639, 0, 0, 0, 0, 0, &err),
               errore_esecuzione);
  EXPECT_EQ(f.percorso[11].tipo, cella_binario);
  EXPECT_EQ(f.percorso[11].valore1, 0);
}

TEST(Cartelli, OccupiedCells) {
  // A board on a marker cell replaces it; on a taken cell the later record fails.
  const struct {
    const char* nome;
    bool primo_v_max;  // the first board is a speed board (else an indicator board)
    bool secondo_v_max;
    int32_t codice;  // of the second board
  } casi[] = {
      {"speed board after speed board", true, true, 21},
      {"indicator board after speed board", true, false, 6},
      {"speed board after indicator board", false, true, 21},
      {"indicator board after indicator board", false, false, 6},
  };
  for (const auto& c : casi) {
    Form1 f;
    prepara(f);
    messaggio err;
    auto posa = [&](bool v_max, int32_t p) {
      return v_max ? memo_indicatori_v_max(f, p, 100, 100, 100, 0, 0, 0, 0, 0, &err)
                   : cartello_indicatore(f, p, "(Testo)", &err);
    };
    ASSERT_TRUE(posa(c.primo_v_max, 1000)) << c.nome;
    const cella_percorso prima = f.percorso[21];
    EXPECT_FALSE(posa(c.secondo_v_max, 1010)) << c.nome;  // also cell 21
    EXPECT_EQ(f.codice_errore, c.codice) << c.nome;
    EXPECT_EQ(f.posizione_errore, 1010) << c.nome;
    EXPECT_EQ(err.posizione, 1010) << c.nome;
    EXPECT_EQ(f.percorso[21].tipo, prima.tipo) << c.nome;
    EXPECT_EQ(f.percorso[21].valore1, prima.valore1) << c.nome;
  }

  Form1 f;
  prepara(f);
  messaggio err;
  ASSERT_TRUE(memo_montagna(f, 1000, 2000, 11, &err));
  ASSERT_EQ(f.percorso[23].tipo, cella_marca_galleria);
  EXPECT_TRUE(cartello_indicatore(f, 1100, "(A)", &err));                     // cell 23
  EXPECT_TRUE(memo_indicatori_v_max(f, 1300, 1, 1, 1, 0, 0, 0, 0, 0, &err));  // cell 27
  EXPECT_EQ(f.percorso[23].tipo, cella_cartello);
  EXPECT_EQ(f.percorso[27].tipo, cella_indicatore_v_max);
  EXPECT_EQ(f.percorso[23].galleria, 1);
}

TEST(CartelloIndicatore, EntriesFrom80Down) {
  Form1 f;
  prepara(f);
  messaggio err;
  ASSERT_TRUE(cartello_indicatore(f, 75, "(Galleria)(Uno)", &err));  // 2.5 -> cell 2
  ASSERT_TRUE(cartello_indicatore(f, 125, "(B)", &err));             // 3.5 -> cell 4
  EXPECT_EQ(f.percorso[2].tipo, cella_cartello);
  EXPECT_EQ(f.percorso[2].valore1, 80);
  EXPECT_EQ(f.percorso[4].valore1, 79);
  EXPECT_EQ(f.testata_linea[80].nome, "(Galleria)(Uno)");
  EXPECT_EQ(f.testata_linea[79].nome, "(B)");
  EXPECT_EQ(f.prossimo_cartello, 78);
}

TEST(CartelloIndicatore, The81stBoardIsRefused) {
  Form1 f;
  prepara(f);
  messaggio err;
  for (int i = 0; i < kPrimoCartello; ++i)
    ASSERT_TRUE(cartello_indicatore(f, i * 100, "(T" + std::to_string(i) + ")", &err));
  EXPECT_EQ(f.prossimo_cartello, 0);
  EXPECT_EQ(f.testata_linea[1].nome, "(T79)");
  EXPECT_FALSE(cartello_indicatore(f, 50000, "(X)", &err));
  EXPECT_EQ(f.codice_errore, 105);
  EXPECT_EQ(f.posizione_errore, 50000);
  EXPECT_EQ(f.testata_linea[0].nome, "");
  EXPECT_EQ(f.percorso[1001].tipo, cella_binario);
  EXPECT_EQ(f.prossimo_cartello, 0);
}

TEST(Cartelli, OutsideTheGridOrWithoutOne) {
  messaggio err;
  {
    Form1 senza_griglia;
    EXPECT_THROW(memo_montagna(senza_griglia, 0, 100, 1, &err), errore_esecuzione);
    EXPECT_THROW(cartello_indicatore(senza_griglia, 100, "(A)", &err), errore_esecuzione);
    EXPECT_THROW(memo_indicatori_v_max(senza_griglia, 100, 1, 1, 1, 0, 0, 0, 0, 0, &err),
                 errore_esecuzione);
  }
  Form1 f;
  prepara(f, 0);                                                               // cells 0 to 140
  EXPECT_THROW(cartello_indicatore(f, -100, "(A)", &err), errore_esecuzione);  // cell -1
  EXPECT_THROW(memo_indicatori_v_max(f, 7000, 1, 1, 1, 0, 0, 0, 0, 0, &err),   // cell 141
               errore_esecuzione);
  EXPECT_TRUE(cartello_indicatore(f, -75, "(A)", &err));  // -0.5 rounds to cell 0
  EXPECT_EQ(f.percorso[0].tipo, cella_cartello);
}

}  // namespace
}  // namespace genera
