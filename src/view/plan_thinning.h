// Fewer points for a polyline that looks the same: the plan of a long line
// holds a point a metre, far more than any screen shows.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace genera {

/// The indices, ascending, of the points of (x[i], y[i]) to keep so that
/// every dropped point lies within `tolerance` of the segment between the
/// kept points around it (Douglas-Peucker). The first and last point of
/// every run of finite points are kept, and so is the first point of every
/// run of non-finite ones, to mark the break. `x` and `y` must be as long.
std::vector<std::size_t> thin_polyline(std::span<const double> x, std::span<const double> y,
                                       double tolerance);

}  // namespace genera
