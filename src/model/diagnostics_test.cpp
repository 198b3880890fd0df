#include "model/diagnostics.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

TEST(Formatta, CompilerForm) {
  EXPECT_EQ(formatta({"L_linea.txt", 45, 15, 95950, "record at 95950 m lies beyond the end of the grid"}),
            "L_linea.txt:45: error 15: record at 95950 m lies beyond the end of the grid");
  EXPECT_EQ(formatta({"T-.txt", 0, 12, 42000, "no free cell"}), "T-.txt: error 12: no free cell");
}

TEST(Citazione, ShowsHostileFieldsSafely) {
  const struct {
    std::string campo, atteso;
  } cases[] = {
      {"curvad", "\"curvad\""},
      {std::string("a\0b\r\xe0", 5), "\"a\\x00b\\x0D\\xE0\""},
      {std::string(10'000'000, 'x'), "\"" + std::string(40, 'x') + "...\""},
  };
  for (const auto& c : cases) EXPECT_EQ(citazione(c.campo), c.atteso);
}

}  // namespace
}  // namespace genera
