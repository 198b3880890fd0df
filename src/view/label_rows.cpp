#include "view/label_rows.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <map>
#include <numeric>

namespace genera {

std::vector<int> place_in_rows(const std::vector<LabelSpan>& labels, int rows, double gap) {
  std::vector<int> row(labels.size(), -1);
  if (rows <= 0) return row;
  std::vector<std::size_t> order(labels.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (labels[a].priority != labels[b].priority) return labels[a].priority > labels[b].priority;
    return labels[a].from < labels[b].from;
  });
  // Each row: the spans taken, keyed by their left edge; they never overlap,
  // so only the neighbours on either side of a new span can touch it.
  std::vector<std::multimap<double, double>> taken(static_cast<std::size_t>(rows));
  for (const std::size_t i : order) {
    const double a = labels[i].from - gap, b = std::max(labels[i].to, labels[i].from) + gap;
    for (int r = 0; r < rows; ++r) {
      auto& t = taken[static_cast<std::size_t>(r)];
      auto next = t.lower_bound(a);
      if (next != t.end() && next->first < b) continue;
      if (next != t.begin() && std::prev(next)->second > a) continue;
      t.emplace(labels[i].from, std::max(labels[i].to, labels[i].from));
      row[i] = r;
      break;
    }
  }
  return row;
}

}  // namespace genera
