#include "linecomp/tunnels_boards.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "linecomp/test_support.h"

namespace genera {
namespace {

// A grid (by default the scenario's: length 89000, cells 0 to 1920), no
// tunnel yet and the first board entry free.
struct Linea {
  ScenarioCompilato s;
  StatoGallerie gallerie;
  int32_t prossimo_cartello = kPrimoCartello;

  explicit Linea(int32_t lunghezza = 89000) { prepara_griglia(s, lunghezza, false); }

  Esito montagna(int32_t inizio, int32_t fine, int32_t tipo) {
    return memo_montagna(s, gallerie, inizio, fine, tipo, 0);
  }
  Esito v_max(const ValoriIndicatore& v) { return memo_indicatori_v_max(s, v, 0); }
  // A speed board with the same speeds on every row, as the tests need it.
  Esito v_max(int32_t p, int32_t v) { return v_max(ValoriIndicatore{p, v, v, v, 0, 0, 0, 0, 0}); }
  Esito cartello(int32_t p, const std::string& testo) {
    return cartello_indicatore(s, prossimo_cartello, p, testo, 0);
  }
  const cella_percorso& cella(int c) const { return s.percorso[static_cast<std::size_t>(c)]; }
  cella_percorso& cella(int c) { return s.percorso[static_cast<std::size_t>(c)]; }
};

std::vector<int> celle_con(const ScenarioCompilato& s, int galleria) {
  std::vector<int> v;
  for (std::size_t c = 0; c < s.percorso.size(); ++c)
    if (s.percorso[c].galleria == galleria) v.push_back(static_cast<int>(c));
  return v;
}

std::vector<int> marcatori(const ScenarioCompilato& s) {
  std::vector<int> v;
  for (std::size_t c = 0; c < s.percorso.size(); ++c)
    if (s.percorso[c].tipo == TipoCella::marca_galleria) v.push_back(static_cast<int>(c));
  return v;
}

std::vector<int> intervallo(int da, int a, int passo = 1) {
  std::vector<int> v;
  for (int c = da; c <= a; c += passo) v.push_back(c);
  return v;
}

TEST(MemoMontagna, ScenarioTunnels) {
  Linea l;
  ASSERT_TRUE(accettato(l.montagna(30300, 30600, 2)));
  ASSERT_TRUE(accettato(l.montagna(41950, 43750, 11)));
  EXPECT_EQ(celle_con(l.s, 2), intervallo(606, 611));
  EXPECT_EQ(celle_con(l.s, 1), intervallo(839, 874));
  EXPECT_EQ(marcatori(l.s), intervallo(842, 874, 4));
  EXPECT_EQ(l.gallerie.numero, 2);
  EXPECT_EQ(l.gallerie.inizi[2], 41950);
  EXPECT_EQ(l.gallerie.fini[2], 43750);
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
    Linea l;
    ASSERT_TRUE(accettato(l.montagna(1000, 2000, 1)));
    ASSERT_TRUE(accettato(l.montagna(c.inizio2, c.inizio2 + 1000, c.tipo2)));
    const int prima = static_cast<int>(c.inizio2 / 50);
    EXPECT_EQ(l.cella(prima + 1).galleria, c.galleria) << c.nome;
    EXPECT_EQ(l.cella(prima + 3).tipo, c.marcatori ? TipoCella::marca_galleria : TipoCella::binario)
        << c.nome;
  }
}

TEST(MemoMontagna, MarkersOnlyOnEmptyCells) {
  Linea l;
  l.cella(23).tipo = TipoCella::segnale;
  ASSERT_TRUE(accettato(l.montagna(1000, 1400, 11)));  // cells 20 to 27
  EXPECT_EQ(marcatori(l.s), (std::vector<int>{27}));
  EXPECT_EQ(l.cella(23).tipo, TipoCella::segnale);
  EXPECT_EQ(l.cella(23).galleria, 1);
}

TEST(MemoMontagna, EndBeforeStartWritesNothingButCounts) {
  Linea l;
  ASSERT_TRUE(accettato(l.montagna(1000, 1025, 2)));  // cells 20 to round(-0.5 + 20) = 20
  EXPECT_EQ(celle_con(l.s, 2), (std::vector<int>{20}));
  ASSERT_TRUE(accettato(l.montagna(2000, 1000, 2)));
  EXPECT_EQ(celle_con(l.s, 2), (std::vector<int>{20}));
  ASSERT_TRUE(accettato(l.montagna(1100, 1500, 5)));  // 1100 - 1000 <= 150: kind 3
  EXPECT_EQ(celle_con(l.s, 3), intervallo(22, 29));
}

TEST(MemoMontagna, ClippedToTheGrid) {
  Linea l(0);  // cells 0 to 140
  ASSERT_TRUE(accettato(l.montagna(6000, 2000000000, 11)));
  EXPECT_EQ(celle_con(l.s, 1), intervallo(120, 140));
  EXPECT_EQ(marcatori(l.s), intervallo(123, 140, 4));
  // A start before the line keeps its marker spacing from its own first cell.
  ASSERT_TRUE(accettato(l.montagna(-500, 500, 13)));  // cells -10 to 9
  EXPECT_EQ(celle_con(l.s, 3), intervallo(0, 9));
  EXPECT_EQ(l.cella(1).tipo, TipoCella::marca_galleria);  // k = 12
  EXPECT_EQ(l.cella(5).tipo, TipoCella::marca_galleria);  // k = 16
  EXPECT_EQ(l.cella(3).tipo, TipoCella::binario);
}

TEST(MemoMontagna, The81stTunnelIsRefused) {
  Linea l;
  for (int i = 1; i <= kMaxGallerie; ++i)
    ASSERT_TRUE(accettato(l.montagna(i * 1000, i * 1000 + 100, 1)));
  const Esito r = l.montagna(85000, 86000, 2);
  ASSERT_FALSE(r.prosegue());
  EXPECT_EQ(r.codice, Codice::gallerie_troppe);
  EXPECT_EQ(r.posizione, 85000);
  EXPECT_EQ(l.gallerie.numero, kMaxGallerie);
  EXPECT_TRUE(celle_con(l.s, 2).empty());
}

TEST(MemoIndicatoriVMax, Packing) {
  const struct {
    ValoriIndicatore v;
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
    Linea l;
    const int32_t p = c.v.posizione;
    ASSERT_TRUE(accettato(l.v_max(c.v))) << p;
    const cella_percorso& cella = l.cella(c.cella);
    EXPECT_EQ(cella.tipo, TipoCella::indicatore_v_max) << p;
    EXPECT_EQ(cella.valore1, c.valore[0]) << p;
    EXPECT_EQ(cella.valore2, c.valore[1]) << p;
    EXPECT_EQ(cella.valore3, c.valore[2]) << p;
    EXPECT_EQ(cella.valore4, c.valore[3]) << p;
  }
}

TEST(MemoIndicatoriVMax, PackedSpeedBeyond16BitsIsARunTimeFailure) {
  Linea l;
  const Esito r = l.v_max(ValoriIndicatore{500, 100, 100, 1639, 0, 0, 0, 0, 0});
  ASSERT_FALSE(r.prosegue());
  EXPECT_EQ(r.codice, Codice::guasto_lettura);
  EXPECT_EQ(l.cella(11).tipo, TipoCella::binario);
  EXPECT_EQ(l.cella(11).valore1, 0);
}

TEST(Cartelli, OccupiedCells) {
  // A board on a marker cell replaces it; on a taken cell the later record fails.
  const struct {
    const char* nome;
    bool primo_v_max;  // the first board is a speed board (else an indicator board)
    bool secondo_v_max;
    Codice codice;  // of the second board
  } casi[] = {
      {"speed board after speed board", true, true, Codice::indicatore_occupato},
      {"indicator board after speed board", true, false, Codice::cartello_occupato},
      {"speed board after indicator board", false, true, Codice::indicatore_occupato},
      {"indicator board after indicator board", false, false, Codice::cartello_occupato},
  };
  for (const auto& c : casi) {
    Linea l;
    auto posa = [&](bool v_max, int32_t p) {
      return v_max ? l.v_max(p, 100) : l.cartello(p, "(Testo)");
    };
    ASSERT_TRUE(accettato(posa(c.primo_v_max, 1000))) << c.nome;
    const cella_percorso prima = l.cella(21);
    const Esito r = posa(c.secondo_v_max, 1010);  // also cell 21
    ASSERT_FALSE(r.prosegue()) << c.nome;
    EXPECT_EQ(r.codice, c.codice) << c.nome;
    EXPECT_EQ(r.posizione, 1010) << c.nome;
    EXPECT_EQ(l.cella(21).tipo, prima.tipo) << c.nome;
    EXPECT_EQ(l.cella(21).valore1, prima.valore1) << c.nome;
  }

  Linea l;
  ASSERT_TRUE(accettato(l.montagna(1000, 2000, 11)));
  ASSERT_EQ(l.cella(23).tipo, TipoCella::marca_galleria);
  EXPECT_TRUE(accettato(l.cartello(1100, "(A)")));  // cell 23
  EXPECT_TRUE(accettato(l.v_max(1300, 1)));         // cell 27
  EXPECT_EQ(l.cella(23).tipo, TipoCella::cartello);
  EXPECT_EQ(l.cella(27).tipo, TipoCella::indicatore_v_max);
  EXPECT_EQ(l.cella(23).galleria, 1);
}

TEST(CartelloIndicatore, EntriesFrom80Down) {
  Linea l;
  ASSERT_TRUE(accettato(l.cartello(75, "(Galleria)(Uno)")));  // 2.5 -> cell 2
  ASSERT_TRUE(accettato(l.cartello(125, "(B)")));             // 3.5 -> cell 4
  EXPECT_EQ(l.cella(2).tipo, TipoCella::cartello);
  EXPECT_EQ(l.cella(2).valore1, 80);
  EXPECT_EQ(l.cella(4).valore1, 79);
  EXPECT_EQ(l.s.testata_linea[80].nome, "(Galleria)(Uno)");
  EXPECT_EQ(l.s.testata_linea[79].nome, "(B)");
  EXPECT_EQ(l.prossimo_cartello, 78);
}

TEST(CartelloIndicatore, The81stBoardIsRefused) {
  Linea l;
  for (int i = 0; i < kPrimoCartello; ++i)
    ASSERT_TRUE(accettato(l.cartello(i * 100, "(T" + std::to_string(i) + ")")));
  EXPECT_EQ(l.prossimo_cartello, 0);
  EXPECT_EQ(l.s.testata_linea[1].nome, "(T79)");
  const Esito r = l.cartello(50000, "(X)");
  ASSERT_FALSE(r.prosegue());
  EXPECT_EQ(r.codice, Codice::cartelli_troppi);
  EXPECT_EQ(r.posizione, 50000);
  EXPECT_EQ(l.s.testata_linea[0].nome, "");
  EXPECT_EQ(l.cella(1001).tipo, TipoCella::binario);
  EXPECT_EQ(l.prossimo_cartello, 0);
}

TEST(Cartelli, OutsideTheGridOrWithoutOne) {
  // Without a grid no record of the body is applied: a header without a
  // line length is a run-time failure before the first of them.
  for (const char* record : {"montagna, 0, 100, 1", "cartello_indicatore, 100, (A)",
                             "indicatori_vmax, 100, 1, 1, 1, 0, , , , 0"}) {
    const LetturaLinea senza_griglia =
        leggi_linea(righe({"[generale]", "sfondo uno, 1", "[corpo]", record}));
    EXPECT_EQ(senza_griglia.esito.passo, Passo::guasto) << record;
    EXPECT_EQ(senza_griglia.esito.riga, 3) << record;
    EXPECT_TRUE(senza_griglia.s.percorso.empty()) << record;
    EXPECT_EQ(senza_griglia.prossimo_cartello, kPrimoCartello) << record;
  }
  Linea l(0);                                   // cells 0 to 140
  const Esito prima = l.cartello(-100, "(A)");  // cell -1
  ASSERT_FALSE(prima.prosegue());
  EXPECT_EQ(prima.codice, Codice::guasto_lettura);
  const Esito dopo = l.v_max(7000, 1);  // cell 141
  ASSERT_FALSE(dopo.prosegue());
  EXPECT_EQ(dopo.codice, Codice::guasto_lettura);
  EXPECT_TRUE(accettato(l.cartello(-75, "(A)")));  // -0.5 rounds to cell 0
  EXPECT_EQ(l.cella(0).tipo, TipoCella::cartello);
}

}  // namespace
}  // namespace genera
