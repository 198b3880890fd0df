#include "linecomp/gradients_curves.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "model/run_failure.h"

namespace genera {
namespace {

// A grid for `lunghezza` and, with `j`, a plan with its first two points.
void prepara(Form1& f, int32_t lunghezza, int32_t j = 1) {
  f.j = j;
  alloca_percorso(f, lunghezza);
  f.cursore_pendenza = 0;
  f.pendenza_corrente = 0;
  inizia_tracciato(f);
}

std::vector<int> pendenze(const Form1& f) {
  std::vector<int> v;
  for (const cella_percorso& c : f.percorso) v.push_back(c.pendenza);
  return v;
}

// Cells 0.. filled as runs of (count, value).
std::vector<int> righe(std::initializer_list<std::pair<int, int>> tratti) {
  std::vector<int> v;
  for (const auto& [n, valore] : tratti) v.insert(v.end(), static_cast<std::size_t>(n), valore);
  return v;
}

TEST(RecordPendenza, CellsUpToTheRecordsOwnCell) {
  // Length 0 gives U = 140: cells 0 to 140.
  const struct {
    const char* nome;
    std::vector<std::pair<int32_t, int32_t>> record;
    std::vector<int> atteso;  // before the tail
  } casi[] = {
      {"0 m writes nothing", {{0, 0}}, righe({{141, 0}})},
      {"25 m rounds to cell 0", {{25, 5}}, righe({{141, 0}})},
      {"75 m rounds to cell 2", {{0, 3}, {75, 5}}, righe({{2, 103}, {139, 0}})},
      {"the scenario's first records",
       {{0, 0}, {1250, 7}, {4500, 10}},
       righe({{25, 100}, {65, 107}, {51, 0}})},
      {"same cell: one cell with the older value",
       {{100, 1}, {125, 2}},
       righe({{2, 100}, {1, 101}, {138, 0}})},
      {"a record behind the cursor still fills one cell",
       {{500, 4}, {100, 6}},
       righe({{10, 100}, {1, 104}, {130, 0}})},
      {"gradient 200 wraps to 44, -5 is 95",
       {{0, 200}, {100, -5}, {200, 0}},
       righe({{2, 44}, {2, 95}, {137, 0}})},
  };
  for (const auto& c : casi) {
    Form1 f;
    prepara(f, 0);
    for (const auto& [p, g] : c.record) record_pendenza(f, p, g);
    EXPECT_EQ(pendenze(f), c.atteso) << c.nome;
  }
}

TEST(CodaPendenze, RunsToUMinus3AndAlwaysWritesOneCell) {
  Form1 f;
  prepara(f, 0);
  coda_pendenze(f);
  EXPECT_EQ(pendenze(f), righe({{138, 100}, {3, 0}}));

  // The cursor already at U - 2 or at U: the tail still writes that one cell.
  for (int32_t cursore : {138, 140}) {
    Form1 g;
    prepara(g, 0);
    g.cursore_pendenza = cursore;
    g.pendenza_corrente = 7;
    coda_pendenze(g);
    std::vector<int> atteso = righe({{141, 0}});
    atteso[static_cast<std::size_t>(cursore)] = 107;
    EXPECT_EQ(pendenze(g), atteso) << cursore;
  }
}

TEST(RecordPendenza, OutOfOrderRecordsNeverWritePastTheGrid) {
  Form1 f;
  prepara(f, 0);
  for (int i = 0; i < 500; ++i) record_pendenza(f, 50, i % 50);
  coda_pendenze(f);
  // Record i wrote cell i with record i - 1's value; the rest wrote nothing.
  EXPECT_EQ(f.cursore_pendenza, 141);
  EXPECT_EQ(f.percorso[0].pendenza, 100);
  EXPECT_EQ(f.percorso[140].pendenza, 100 + 139 % 50);
}

TEST(GradientsCurves, NeedTheGrid) {
  Form1 f;
  f.j = 1;
  messaggio err;
  EXPECT_THROW(record_pendenza(f, 100, 1), errore_esecuzione);
  EXPECT_THROW(coda_pendenze(f), errore_esecuzione);
  EXPECT_THROW(record_curva(f, "curvad1", 100, 100, &err), errore_esecuzione);
  EXPECT_THROW(coda_tracciato(f), errore_esecuzione);
}

double da_hex(const char* s) { return std::strtod(s, nullptr); }

TEST(Tracciato, StraightWithoutCurves) {
  Form1 f;
  prepara(f, 100);  // plan rows 0 to 7100
  coda_tracciato(f);
  const tracciato_linea& t = f.tracciato;
  EXPECT_EQ(t.righe_valide(), 7099);
  for (int32_t m = 0; m <= 7098; ++m) {
    ASSERT_EQ(t.x[static_cast<std::size_t>(m)], 0.0) << m;
    ASSERT_EQ(t.y[static_cast<std::size_t>(m)], static_cast<double>(m)) << m;
  }
  EXPECT_EQ(tipo_riga(t, 1), tipo_variante::intero);
  EXPECT_EQ(tipo_riga(t, 2), tipo_variante::doppio);
  EXPECT_EQ(tipo_riga(t, 7099), tipo_variante::vuoto);
  EXPECT_EQ(tipo_riga(t, 7100), tipo_variante::vuoto);
}

TEST(Tracciato, LeftClass6CurveBitForBit) {
  Form1 f;
  prepara(f, 89000);
  messaggio err;
  ASSERT_TRUE(record_curva(f, "curvas6", 750, 250, &err));
  EXPECT_EQ(f.cursore_tracciato, 1001);
  coda_tracciato(f);
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
    EXPECT_EQ(f.tracciato.x[p.i], da_hex(p.x)) << p.i;
    EXPECT_EQ(f.tracciato.y[p.i], da_hex(p.y)) << p.i;
  }
  EXPECT_EQ(f.tracciato.righe_valide(), 95999);
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
    Form1 f;
    prepara(f, 0);
    messaggio err;
    ASSERT_TRUE(record_curva(f, c.chiave, 750, 10, &err)) << c.chiave;
    EXPECT_EQ(f.tracciato.x[751], c.x751) << c.chiave;
  }
}

TEST(Tracciato, NoClassDigitIs103) {
  for (const char* chiave : {"curvad", "curvas0", "curva789"}) {
    Form1 f;
    prepara(f, 0);
    messaggio err;
    EXPECT_FALSE(record_curva(f, chiave, 500, 100, &err)) << chiave;
    EXPECT_EQ(f.codice_errore, 103);
    EXPECT_EQ(err.codice, 103);
    EXPECT_FALSE(err.posizione.has_value());
    EXPECT_EQ(f.tracciato.righe_valide(), 2) << "nothing computed";
  }
}

TEST(Tracciato, CurveBehindTheCursorComputesOnlyWhatLiesBeyond) {
  Form1 f;
  prepara(f, 0);
  messaggio err;
  ASSERT_TRUE(record_curva(f, "curvad4", 100, 100, &err));
  ASSERT_TRUE(record_curva(f, "curvad4", 50, 100, &err));  // wholly behind
  EXPECT_EQ(f.cursore_tracciato, 201);
  ASSERT_TRUE(record_curva(f, "curvad4", 150, 60, &err));  // 201 to 210 only
  EXPECT_EQ(f.cursore_tracciato, 211);
  EXPECT_EQ(f.tracciato.righe_valide(), 211);
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
    Form1 f;
    prepara(f, 0);
    messaggio err;
    ASSERT_TRUE(record_curva(f, "curvad6", c.p, c.len, &err));
    coda_tracciato(f);
    EXPECT_EQ(f.tracciato.righe_valide(), c.righe) << c.p << "+" << c.len;
    EXPECT_EQ(f.tracciato.righe, 7001);
  }
}

TEST(Tracciato, CursorPast1000000Is103) {
  Form1 f;
  prepara(f, kLunghezzaMassima);
  messaggio err;
  ASSERT_TRUE(record_curva(f, "curvad1", 999000, 999, &err));
  EXPECT_EQ(f.cursore_tracciato, 1000000);
  EXPECT_FALSE(record_curva(f, "curvad1", 999999, 10, &err));
  EXPECT_EQ(f.codice_errore, 103);
  EXPECT_EQ(f.tracciato.righe_valide(), 1000001);
}

TEST(Tracciato, TinyPlansHoldOnlyWhatFits) {
  for (int32_t lunghezza : {-7000, -6999, -6998}) {
    Form1 f;
    prepara(f, lunghezza);
    messaggio err;
    ASSERT_TRUE(record_curva(f, "curvad1", 0, 10, &err));
    coda_tracciato(f);
    coda_pendenze(f);
    EXPECT_EQ(f.tracciato.righe_valide(), lunghezza + 7001) << lunghezza;
    ASSERT_EQ(f.percorso.size(), 1u);
    EXPECT_EQ(f.percorso[0].pendenza, 100);
  }
}

}  // namespace
}  // namespace genera
