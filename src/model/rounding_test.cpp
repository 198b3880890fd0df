#include "model/rounding.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

TEST(Arrotonda, HalvesGoToTheEvenNeighbour) {
  const struct {
    double in, out;
  } cases[] = {
      {2.5, 2},     {3.5, 4},  {0.5, 0},  {1.5, 2},    {-0.5, 0},    {-1.5, -2}, {-2.5, -2},
      {140.5, 140}, {2.49, 2}, {2.51, 3}, {-2.51, -3}, {1920, 1920}, {40.5, 40}, {41.5, 42},
  };
  for (const auto& c : cases) EXPECT_EQ(arrotonda(c.in), c.out) << c.in;
}

TEST(Conversions, FailWhenTheResultDoesNotFit) {
  EXPECT_EQ(a_intero(32767.4), 32767);
  EXPECT_EQ(a_intero(-32768.5), -32768);  // half to even stays inside
  EXPECT_FALSE(a_intero(32767.5));
  EXPECT_FALSE(a_intero(-32769.0));
  EXPECT_EQ(a_long(2147483647.0), 2147483647);
  EXPECT_FALSE(a_long(2147483647.5));
  EXPECT_EQ(a_byte(int64_t{255}), 255);
  EXPECT_FALSE(a_byte(int64_t{256}));
  EXPECT_FALSE(a_byte(int64_t{-1}));
  EXPECT_FALSE(a_intero(int64_t{40000}));
}

TEST(Wrapping, KeepsTheLowBits) {
  EXPECT_EQ(basso16(65536 + 20), 20);
  EXPECT_EQ(basso16(40000), 40000 - 65536);
  EXPECT_EQ(basso8(300), 44);
  EXPECT_EQ(basso8(-5), 251);
}

}  // namespace
}  // namespace genera
