#include "notices/slide_path.h"

#include <algorithm>
#include <cmath>

namespace pimrose {

std::vector<int> slidePath(int from, int to, int steps) {
  steps = std::max(1, steps);
  std::vector<int> path;
  path.reserve(steps);
  for (int i = 1; i < steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const double eased = 1.0 - (1.0 - t) * (1.0 - t);
    path.push_back(from + static_cast<int>(std::lround((to - from) * eased)));
  }
  path.push_back(to);
  return path;
}

int fadeAlpha(int position, int from, int to) {
  if (from == to) return 0;
  const double left = static_cast<double>(position - to) / (from - to);
  return static_cast<int>(std::lround(255 * std::clamp(left, 0.0, 1.0)));
}

}  // namespace pimrose
