#include "thumbnails/icon_budget.h"

#include <algorithm>
#include <iterator>

namespace pimrose {
namespace {

qint64 distanceFrom(int index, int first, int last) {
  if (index < first) return qint64(first) - index;
  if (index > last) return qint64(index) - last;
  return 0;
}

}  // namespace

QList<int> IconBudget::hold(int index, qint64 bytes, int first, int last) {
  if (last < first) first = last = index;
  release(index);
  held_[index] = bytes;
  total_ += bytes;
  QList<int> released;
  while (total_ > budget_) {
    // The candidates are the two ends of the map, stepping past the new icon.
    auto low = held_.begin();
    if (low->first == index) ++low;
    auto high = std::prev(held_.end());
    if (high->first == index && high != held_.begin()) --high;
    if (low == held_.end() || high->first == index) break;
    const qint64 lowDistance = distanceFrom(low->first, first, last);
    const qint64 highDistance = distanceFrom(high->first, first, last);
    if (std::max(lowDistance, highDistance) == 0) break;  // all that is left is on screen
    const auto farthest = highDistance > lowDistance ? high : low;
    released.append(farthest->first);
    total_ -= farthest->second;
    held_.erase(farthest);
  }
  return released;
}

void IconBudget::release(int index) {
  const auto found = held_.find(index);
  if (found == held_.end()) return;
  total_ -= found->second;
  held_.erase(found);
}

void IconBudget::clear() {
  held_.clear();
  total_ = 0;
}

}  // namespace pimrose
