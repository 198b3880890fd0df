#include "view/plan_thinning.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>

namespace genera {
namespace {

/// The largest distance of a dropped point from the kept polyline around it.
double worst_error(const std::vector<double>& x, const std::vector<double>& y,
                   const std::vector<std::size_t>& kept) {
  double worst = 0;
  for (std::size_t k = 0; k + 1 < kept.size(); ++k) {
    const std::size_t a = kept[k], b = kept[k + 1];
    for (std::size_t i = a + 1; i < b; ++i) {
      const double dx = x[b] - x[a], dy = y[b] - y[a];
      const double t = ((x[i] - x[a]) * dx + (y[i] - y[a]) * dy) / (dx * dx + dy * dy);
      worst = std::max(worst, std::hypot(x[i] - (x[a] + t * dx), y[i] - (y[a] + t * dy)));
    }
  }
  return worst;
}

TEST(PlanThinning, AStraightLineKeepsItsEnds) {
  std::vector<double> x, y;
  for (int m = 0; m < 100000; ++m) x.push_back(0), y.push_back(m);
  EXPECT_EQ(thin_polyline(x, y, 0.05), (std::vector<std::size_t>{0, 99999}));
}

TEST(PlanThinning, ACurveStaysWithinTheTolerance) {
  // A straight, a 300 m curve of radius 500 m, a straight: a metre a point.
  std::vector<double> x, y;
  double px = 0, py = 0, heading = 0;
  for (int m = 0; m < 3000; ++m) {
    if (m >= 1000 && m < 1300) heading += 1.0 / 500;
    px += std::cos(heading), py += std::sin(heading);
    x.push_back(px), y.push_back(py);
  }
  for (const double tolerance : {0.01, 0.05, 0.5}) {
    SCOPED_TRACE(tolerance);
    const std::vector<std::size_t> kept = thin_polyline(x, y, tolerance);
    EXPECT_EQ(kept.front(), 0u);
    EXPECT_EQ(kept.back(), 2999u);
    EXPECT_LE(worst_error(x, y, kept), tolerance);
    EXPECT_LT(kept.size(), 300u);
  }
}

TEST(PlanThinning, NonFinitePointsBreakTheLine) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> x = {0, 0, 0, nan, nan, 0, 0, 0};
  const std::vector<double> y = {0, 1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(thin_polyline(x, y, 0.1), (std::vector<std::size_t>{0, 2, 3, 5, 7}));
  EXPECT_TRUE(thin_polyline({}, {}, 0.1).empty());
}

}  // namespace
}  // namespace genera
