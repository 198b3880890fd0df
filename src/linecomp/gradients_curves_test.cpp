#include "linecomp/gradients_curves.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "linecomp/test_support.h"

namespace genera {
namespace {

// A grid for `lunghezza`, a plan with its first two points, and both
// profiles at their start.
struct Linea {
  ScenarioCompilato s;
  StatoPendenze pendenze;
  StatoTracciato tracciato;

  explicit Linea(int32_t lunghezza) {
    prepara_griglia(s, lunghezza);
    inizia_tracciato(s.tracciato, tracciato);
  }
  void pendenza(int32_t p, int32_t g) { record_pendenza(s, pendenze, p, g, 0); }
  Esito curva(std::string_view chiave, int32_t p, int32_t len) {
    return record_curva(s, tracciato, chiave, p, len, 0);
  }
  void code() {
    coda_pendenze(s, pendenze);
    coda_tracciato(s.tracciato, tracciato);
  }
};

std::vector<int> pendenze(const ScenarioCompilato& s) {
  std::vector<int> v;
  for (const cella_percorso& c : s.percorso) v.push_back(c.pendenza);
  return v;
}

// Cells 0.. filled as runs of (count, value).
std::vector<int> tratti(std::initializer_list<std::pair<int, int>> t) {
  std::vector<int> v;
  for (const auto& [n, valore] : t) v.insert(v.end(), static_cast<std::size_t>(n), valore);
  return v;
}

TEST(RecordPendenza, CellsUpToTheRecordsOwnCell) {
  // Length 0 gives U = 140: cells 0 to 140.
  const struct {
    const char* nome;
    std::vector<std::pair<int32_t, int32_t>> record;
    std::vector<int> atteso;  // before the tail
  } casi[] = {
      {"0 m writes nothing", {{0, 0}}, tratti({{141, 0}})},
      {"25 m rounds to cell 0", {{25, 5}}, tratti({{141, 0}})},
      {"75 m rounds to cell 2", {{0, 3}, {75, 5}}, tratti({{2, 103}, {139, 0}})},
      {"the scenario's first records",
       {{0, 0}, {1250, 7}, {4500, 10}},
       tratti({{25, 100}, {65, 107}, {51, 0}})},
      {"same cell: one cell with the older value",
       {{100, 1}, {125, 2}},
       tratti({{2, 100}, {1, 101}, {138, 0}})},
      {"a record behind the cursor still fills one cell",
       {{500, 4}, {100, 6}},
       tratti({{10, 100}, {1, 104}, {130, 0}})},
      {"gradient 200 wraps to 44, -5 is 95",
       {{0, 200}, {100, -5}, {200, 0}},
       tratti({{2, 44}, {2, 95}, {137, 0}})},
  };
  for (const auto& c : casi) {
    Linea l(0);
    for (const auto& [p, g] : c.record) l.pendenza(p, g);
    EXPECT_EQ(pendenze(l.s), c.atteso) << c.nome;
  }
}

TEST(CodaPendenze, RunsToUMinus3AndAlwaysWritesOneCell) {
  Linea l(0);
  coda_pendenze(l.s, l.pendenze);
  EXPECT_EQ(pendenze(l.s), tratti({{138, 100}, {3, 0}}));

  // The cursor already at U - 2 or at U: the tail still writes that one cell.
  for (int32_t cursore : {138, 140}) {
    Linea m(0);
    m.pendenze.cursore = cursore;
    m.pendenze.corrente = 7;
    coda_pendenze(m.s, m.pendenze);
    std::vector<int> atteso = tratti({{141, 0}});
    atteso[static_cast<std::size_t>(cursore)] = 107;
    EXPECT_EQ(pendenze(m.s), atteso) << cursore;
  }
}

TEST(RecordPendenza, OutOfOrderRecordsNeverWritePastTheGrid) {
  Linea l(0);
  for (int i = 0; i < 500; ++i) l.pendenza(50, i % 50);
  coda_pendenze(l.s, l.pendenze);
  // Record i wrote cell i with record i - 1's value; the rest wrote nothing.
  EXPECT_EQ(l.pendenze.cursore, 141);
  EXPECT_EQ(l.s.percorso[0].pendenza, 100);
  EXPECT_EQ(l.s.percorso[140].pendenza, 100 + 139 % 50);
}

// The gradient and plan functions need the grid: a body after a header
// without a line length is a run-time failure before any of its records,
// and neither tail runs.
TEST(GradientsCurves, NeedTheGrid) {
  for (const char* corpo : {"", "pendenza, 100, 1\r\n", "curvad1, 100, 100\r\n"}) {
    const LetturaLinea l = leggi_linea(righe({"[generale]", "sfondo uno, 1", "[corpo]"}) + corpo);
    EXPECT_EQ(l.esito.passo, Passo::guasto) << corpo;
    EXPECT_EQ(l.esito.riga, 3) << corpo;
    EXPECT_TRUE(l.s.percorso.empty()) << corpo;
    EXPECT_EQ(l.s.tracciato.righe_valide(), 0) << corpo;
  }
}

double da_hex(const char* s) { return std::strtod(s, nullptr); }

TEST(Tracciato, StraightWithoutCurves) {
  Linea l(100);  // plan rows 0 to 7100
  coda_tracciato(l.s.tracciato, l.tracciato);
  const tracciato_linea& t = l.s.tracciato;
  EXPECT_EQ(t.righe_valide(), 7099);
  for (int32_t m = 0; m <= 7098; ++m) {
    ASSERT_EQ(t.x[static_cast<std::size_t>(m)], 0.0) << m;
    ASSERT_EQ(t.y[static_cast<std::size_t>(m)], static_cast<double>(m)) << m;
  }
  EXPECT_EQ(tipo_riga(t, 1), TipoVariante::intero);
  EXPECT_EQ(tipo_riga(t, 2), TipoVariante::doppio);
  EXPECT_EQ(tipo_riga(t, 7099), TipoVariante::vuoto);
  EXPECT_EQ(tipo_riga(t, 7100), TipoVariante::vuoto);
}

TEST(Tracciato, LeftClass6CurveBitForBit) {
  Linea l(89000);
  ASSERT_TRUE(accettato(l.curva("curvas6", 750, 250)));
  EXPECT_EQ(l.tracciato.cursore, 1001);
  coda_tracciato(l.s.tracciato, l.tracciato);
  // Computed independently, IEEE double with no fused operations.
  const struct {
    std::size_t i;
    const char* x;
    const char* y;
  } punti[] = {
      {750, "0x0p+0", "0x1.77p+9"},
      {751, "-0x1.89374bc6a7efap-9", "0x1.778p+9"},
      {752, "-0x1.26e978d4fdf3cp-7", "0x1.77ffffb480a5bp+9"},
      {753, "-0x1.26e95bd749dd4p-6", "0x1.787ffed20296cp+9"},
      {1000, "-0x1.6760aa5788526p+6", "0x1.e899aea1e9a3cp+9"},
      {1001, "-0x1.6a1b728e801c6p+6", "0x1.e8f771a6d414fp+9"},
      {95998, "-0x1.fb29cac40f957p+15", "0x1.13a491219d6b2p+16"},
  };
  for (const auto& p : punti) {
    EXPECT_EQ(l.s.tracciato.x[p.i], da_hex(p.x)) << p.i;
    EXPECT_EQ(l.s.tracciato.y[p.i], da_hex(p.y)) << p.i;
  }
  EXPECT_EQ(l.s.tracciato.righe_valide(), 95999);
}

TEST(Tracciato, ClassAndSide) {
  const struct {
    const char* chiave;
    double x751;  // the first curve point's x: passo_curva itself
  } casi[] = {
      {"curvad1", 0.0001},  {"curvas2", -0.0002}, {"curvaS3", -0.0004},
      {"curvad4", 0.001},   {"CURVAD5", 0.002},   {"curvad6", 0.003},
      {"curvad12", 0.0001}, {"curvad61", 0.0001}, {"curva7x5", 0.002},
  };
  for (const auto& c : casi) {
    Linea l(0);
    ASSERT_TRUE(accettato(l.curva(c.chiave, 750, 10))) << c.chiave;
    EXPECT_EQ(l.s.tracciato.x[751], c.x751) << c.chiave;
  }
}

TEST(Tracciato, NoClassDigitIs103) {
  for (const char* chiave : {"curvad", "curvas0", "curva789"}) {
    Linea l(0);
    const Esito r = l.curva(chiave, 500, 100);
    ASSERT_FALSE(r.prosegue()) << chiave;
    EXPECT_EQ(r.codice, Codice::curva_errata) << chiave;
    EXPECT_FALSE(r.posizione.has_value()) << chiave;
    EXPECT_EQ(l.s.tracciato.righe_valide(), 2) << "nothing computed";
  }
}

TEST(Tracciato, CurveBehindTheCursorComputesOnlyWhatLiesBeyond) {
  Linea l(0);
  ASSERT_TRUE(accettato(l.curva("curvad4", 100, 100)));
  ASSERT_TRUE(accettato(l.curva("curvad4", 50, 100)));  // wholly behind
  EXPECT_EQ(l.tracciato.cursore, 201);
  ASSERT_TRUE(accettato(l.curva("curvad4", 150, 60)));  // 201 to 210 only
  EXPECT_EQ(l.tracciato.cursore, 211);
  EXPECT_EQ(l.s.tracciato.righe_valide(), 211);
}

TEST(Tracciato, CurveToThePlansLastPoints) {
  // Length 0: plan rows 0 to 7000.
  const struct {
    int32_t p, len;
    int32_t righe;  // rows holding a value afterwards
  } casi[] = {
      {6900, 100, 7001},   // ends exactly on the last point: all computed
      {6900, 99, 7000},    // ends on the second-last point
      {6900, 5000, 7001},  // runs past the end: stops at the last point
      {9000, 10, 7001},    // starts past the end: the straight run stops there
  };
  for (const auto& c : casi) {
    Linea l(0);
    ASSERT_TRUE(accettato(l.curva("curvad6", c.p, c.len)));
    coda_tracciato(l.s.tracciato, l.tracciato);
    EXPECT_EQ(l.s.tracciato.righe_valide(), c.righe) << c.p << "+" << c.len;
    EXPECT_EQ(l.s.tracciato.righe, 7001);
  }
}

TEST(Tracciato, CursorPast1000000Is103) {
  Linea l(kLunghezzaMassima);
  ASSERT_TRUE(accettato(l.curva("curvad1", 999000, 999)));
  EXPECT_EQ(l.tracciato.cursore, 1000000);
  const Esito r = l.curva("curvad1", 999999, 10);
  ASSERT_FALSE(r.prosegue());
  EXPECT_EQ(r.codice, Codice::curva_errata);
  EXPECT_EQ(l.s.tracciato.righe_valide(), 1000001);
}

TEST(Tracciato, TinyPlansHoldOnlyWhatFits) {
  for (int32_t lunghezza : {-7000, -6999, -6998}) {
    Linea l(lunghezza);
    ASSERT_TRUE(accettato(l.curva("curvad1", 0, 10)));
    l.code();
    EXPECT_EQ(l.s.tracciato.righe_valide(), lunghezza + 7001) << lunghezza;
    ASSERT_EQ(l.s.percorso.size(), 1u);
    EXPECT_EQ(l.s.percorso[0].pendenza, 100);
  }
}

}  // namespace
}  // namespace genera
