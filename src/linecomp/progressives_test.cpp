#include "linecomp/progressives.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "linecomp/test_support.h"

namespace genera {
namespace {

using Terna = std::array<int32_t, 3>;

void metti(ScenarioCompilato& s, int voce, const Terna& t) {
  s.testata_linea[voce].dato1 = t[0];
  s.testata_linea[voce].dato2 = t[1];
  s.testata_linea[voce].dato3 = t[2];
}

Terna prendi(const ScenarioCompilato& s, int voce) {
  const voce_testata& v = s.testata_linea[voce];
  return {v.dato1, v.dato2, v.dato3};
}

TEST(ProgressiveOrdina, Orderings) {
  const Terna zero{0, 0, 0};
  const struct {
    const char* nome;
    Terna uno, due, tre;  // as read
    Terna e81, e82, e83;  // after ordering and correction
  } casi[] = {
      {"the built-in line", {1000, 0, 0}, zero, zero, {1000, 0, 0}, zero, zero},
      {"tre largest, correction on uno",
       {5000, 200, 1},
       {2000, 0, 0},
       {9000, 50, 0},
       {9000, 50, 0},
       {5000, 300, 1},
       {2000, 0, 0}},
      {"shared largest clears all", {3000, 0, 0}, {3000, 0, 0}, {1000, 0, 0}, zero, zero, zero},
      {"equal smaller values: uno before due",
       {1000, 1, 0},
       {1000, 2, 0},
       {5000, 3, 0},
       {5000, 3, 0},
       {1000, 1, 0},
       {1000, 2, 0}},
      {"tre largest, due over uno",
       {1000, 1, 0},
       {2000, 2, 0},
       {5000, 3, 0},
       {5000, 3, 0},
       {2000, 2, 0},
       {1000, 1, 0}},
      {"due largest, tre over uno",
       {1000, 1, 0},
       {5000, 2, 0},
       {2000, 3, 0},
       {5000, 2, 0},
       {2000, 3, 0},
       {1000, 1, 0}},
      {"due largest, uno over tre",
       {2000, 1, 0},
       {5000, 2, 0},
       {1000, 3, 0},
       {5000, 2, 0},
       {2000, 1, 0},
       {1000, 3, 0}},
      {"uno largest, tre over due",
       {5000, 1, 0},
       {1000, 2, 0},
       {2000, 3, 0},
       {5000, 1, 0},
       {2000, 3, 0},
       {1000, 2, 0}},
      {"uno largest, due over tre",
       {5000, 1, 0},
       {2000, 2, 0},
       {1000, 3, 0},
       {5000, 1, 0},
       {2000, 2, 0},
       {1000, 3, 0}},
      {"sum 0: due's second value swaps T and D",
       {0, 0, 0},
       {0, 150, 0},
       {0, 0, 0},
       {0, 150, 0},
       zero,
       zero},
      {"sum 0: uno's second value goes first",
       {0, 50, 0},
       {0, 150, 0},
       {0, 7, 1},
       {0, 50, 0},
       {0, 150, 0},
       {0, 107, 1}},
      {"sum 0: tre keeps its place",
       {0, 0, 0},
       {0, -5, 0},
       {0, 50, 0},
       {0, 50, 0},
       {0, -5, 0},
       zero},
      {"sum 0 with different first values",
       {1000, 0, 0},
       {-1000, 50, 0},
       {0, 0, 0},
       {-1000, 50, 0},
       zero,
       {1000, 0, 0}},
      {"sum 0 and no positive second value", {0, 0, 1}, {0, -50, 0}, zero, zero, zero, zero},
      {"correction on every slot",
       {3000, 50, 1},
       {2000, 0, 1},
       {1000, -100, 1},
       {3000, 150, 1},
       {2000, 100, 1},
       {1000, 0, 1}},
  };
  for (const auto& c : casi) {
    ScenarioCompilato s;
    metti(s, kVoceProgressivaUno, c.uno);
    metti(s, kVoceProgressivaDue, c.due);
    metti(s, kVoceProgressivaTre, c.tre);
    ASSERT_TRUE(accettato(progressive_ordina(s))) << c.nome;
    EXPECT_EQ(prendi(s, 81), c.e81) << c.nome;
    EXPECT_EQ(prendi(s, 82), c.e82) << c.nome;
    EXPECT_EQ(prendi(s, 83), c.e83) << c.nome;
  }
}

TEST(ProgressiveOrdina, HugeFirstValuesDoNotOverflowTheSum) {
  ScenarioCompilato s;
  metti(s, kVoceProgressivaUno, {INT32_MAX, 0, 0});
  metti(s, kVoceProgressivaDue, {INT32_MAX - 1, 0, 0});
  metti(s, kVoceProgressivaTre, {1, 0, 0});
  ASSERT_TRUE(accettato(progressive_ordina(s)));
  EXPECT_EQ(prendi(s, 81), (Terna{INT32_MAX, 0, 0}));
  EXPECT_EQ(prendi(s, 83), (Terna{1, 0, 0}));
}

TEST(ProgressiveOrdina, CorrectionBeyond32BitsIsARunTimeFailure) {
  ScenarioCompilato s;
  metti(s, kVoceProgressivaUno, {1000, INT32_MAX - 50, 1});
  const Esito r = progressive_ordina(s);
  ASSERT_FALSE(r.prosegue());
  EXPECT_EQ(r.codice, Codice::guasto_lettura);
}

TEST(ProgressiveValide, FirstTwoValuesMustBeMultiplesOf50) {
  const struct {
    Terna t;
    bool valida;
  } casi[] = {
      {{1000, 150, 1}, true}, {{1000, 75, 0}, false}, {{1025, 0, 0}, false},
      {{-50, -100, 7}, true}, {{0, 0, 33}, true},
  };
  for (const auto& c : casi) {
    for (int voce : {kVoceProgressivaTre, kVoceProgressivaDue, kVoceProgressivaUno}) {
      ScenarioCompilato s;
      metti(s, voce, c.t);
      EXPECT_EQ(progressive_valide(s.testata_linea), c.valida)
          << c.t[0] << "," << c.t[1] << " in " << voce;
    }
  }
  ScenarioCompilato s;
  metti(s, kVoceProgressivaUno, {1000, 50, 1});
  ASSERT_TRUE(accettato(progressive_ordina(s)));
  EXPECT_EQ(prendi(s, 81), (Terna{1000, 150, 1}));
  EXPECT_TRUE(progressive_valide(s.testata_linea));
}

}  // namespace
}  // namespace genera
