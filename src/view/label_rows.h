// Labels along one axis that must never cover each other: each takes the
// first free row of a few, or none. Used wherever text is laid out along
// the line (the picture of `plot`); the page does the same in its script.
#pragma once

#include <vector>

namespace genera {

/// A label's extent along the axis and how much it matters.
struct LabelSpan {
  double from = 0;   // left edge
  double to = 0;     // right edge
  int priority = 0;  // higher is placed first
};

/// The row (0 to rows - 1) of each label, in the order given, or -1 when
/// it fits in no row. Labels are taken by priority, higher first, then left
/// to right; a label goes into the first row where it stays at least `gap`
/// clear of every label placed there before. Two labels in one row never
/// overlap; a label with no extent (from >= to) still keeps the gap.
std::vector<int> place_in_rows(const std::vector<LabelSpan>& labels, int rows, double gap);

}  // namespace genera
