#include "view/label_rows.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <random>

namespace genera {
namespace {

TEST(LabelRows, PlacesByPriorityThenFromTheLeft) {
  struct Caso {
    const char* nome;
    std::vector<LabelSpan> labels;
    int rows;
    double gap;
    std::vector<int> atteso;
  };
  const Caso casi[] = {
      {"apart: all in the first row", {{0, 10}, {20, 30}, {40, 50}}, 2, 2, {0, 0, 0}},
      {"overlapping: the second row", {{0, 10}, {5, 15}, {8, 20}}, 2, 0, {0, 1, -1}},
      {"too close for the gap", {{0, 10}, {11, 20}}, 1, 2, {0, -1}},
      {"touching with no gap", {{0, 10}, {10, 20}}, 1, 0, {0, 0}},
      {"the higher priority wins the row", {{0, 10, 0}, {5, 15, 5}}, 1, 0, {-1, 0}},
      {"no rows", {{0, 10}}, 0, 0, {-1}},
      {"a point keeps the gap", {{10, 10}, {11, 20}}, 1, 2, {0, -1}},
      {"a label between two placed ones",
       {{0, 10}, {30, 40}, {12, 28}, {20, 25, -1}},
       1,
       1,
       {0, 0, 0, -1}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(place_in_rows(c.labels, c.rows, c.gap), c.atteso);
  }
}

TEST(LabelRows, NoTwoLabelsInARowEverOverlap) {
  std::mt19937 caso(7);
  std::uniform_real_distribution<double> dove(0, 1000), largo(0, 80);
  std::uniform_int_distribution<int> peso(0, 3);
  std::vector<LabelSpan> labels;
  for (int i = 0; i < 600; ++i) {
    const double a = dove(caso);
    labels.push_back({a, a + largo(caso), peso(caso)});
  }
  const double gap = 3;
  const std::vector<int> row = place_in_rows(labels, 3, gap);
  int posti = 0;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (row[i] < 0) continue;
    ++posti;
    for (std::size_t j = i + 1; j < labels.size(); ++j) {
      if (row[j] != row[i]) continue;
      const bool lontani =
          labels[i].to + gap <= labels[j].from || labels[j].to + gap <= labels[i].from;
      EXPECT_TRUE(lontani) << i << " and " << j << " in row " << row[i];
    }
  }
  EXPECT_GT(posti, 20);
}

}  // namespace
}  // namespace genera
