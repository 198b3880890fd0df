#include "view/plan_thinning.h"

#include <cmath>
#include <utility>

namespace genera {
namespace {

/// The squared distance of point p from the segment a-b (from a when a == b).
double squared_distance_from_segment(double px, double py, double ax, double ay, double bx,
                                     double by) {
  const double dx = bx - ax, dy = by - ay;
  const double d2 = dx * dx + dy * dy;
  double t = d2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / d2 : 0;
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  const double ex = px - (ax + t * dx), ey = py - (ay + t * dy);
  return ex * ex + ey * ey;
}

/// Marks the points of x[first..last] (all finite) to keep; an explicit
/// stack, since a million points would be too deep for recursion.
void thin_run(std::span<const double> x, std::span<const double> y, std::size_t first,
              std::size_t last, double tolerance, std::vector<bool>& keep) {
  keep[first] = keep[last] = true;
  std::vector<std::pair<std::size_t, std::size_t>> pending{{first, last}};
  while (!pending.empty()) {
    const auto [a, b] = pending.back();
    pending.pop_back();
    double worst = -1;
    std::size_t at = a;
    for (std::size_t i = a + 1; i < b; ++i) {
      const double d = squared_distance_from_segment(x[i], y[i], x[a], y[a], x[b], y[b]);
      if (d > worst) worst = d, at = i;
    }
    if (worst <= tolerance * tolerance) continue;
    keep[at] = true;
    pending.emplace_back(a, at);
    pending.emplace_back(at, b);
  }
}

}  // namespace

std::vector<std::size_t> thin_polyline(std::span<const double> x, std::span<const double> y,
                                       double tolerance) {
  const std::size_t n = x.size() < y.size() ? x.size() : y.size();
  std::vector<bool> keep(n, false);
  auto finite = [&](std::size_t i) { return std::isfinite(x[i]) && std::isfinite(y[i]); };
  for (std::size_t i = 0; i < n;) {
    std::size_t j = i;
    if (finite(i)) {
      while (j + 1 < n && finite(j + 1)) ++j;
      thin_run(x, y, i, j, tolerance, keep);
    } else {
      keep[i] = true;
      while (j + 1 < n && !finite(j + 1)) ++j;
    }
    i = j + 1;
  }
  std::vector<std::size_t> kept;
  for (std::size_t i = 0; i < n; ++i)
    if (keep[i]) kept.push_back(i);
  return kept;
}

}  // namespace genera
