#include "thumbnails/load_queue.h"

#include <algorithm>

namespace pimrose {

bool sameItem(const LoadRequest& a, const LoadRequest& b) {
  return a.list == b.list && a.generation == b.generation && a.index == b.index;
}

bool LoadQueue::push(LoadRequest request) {
  request.sequence = nextSequence_++;
  for (LoadRequest& waiting : waiting_) {
    if (sameItem(waiting, request)) {
      waiting.sequence = request.sequence;
      return false;
    }
  }
  waiting_.push_back(std::move(request));
  return true;
}

std::optional<LoadRequest> LoadQueue::pop() {
  if (waiting_.empty()) return std::nullopt;
  auto better = [this](const LoadRequest& a, const LoadRequest& b) {
    const int da = distance(a), db = distance(b);
    return da != db ? da < db : a.sequence > b.sequence;
  };
  auto best = std::min_element(waiting_.begin(), waiting_.end(), better);
  LoadRequest taken = std::move(*best);
  waiting_.erase(best);
  return taken;
}

std::vector<LoadRequest> LoadQueue::setVisibleRange(ListId list, int first, int last) {
  auto it = std::find_if(ranges_.begin(), ranges_.end(), [list](const Range& r) { return r.list == list; });
  if (it == ranges_.end()) it = ranges_.insert(ranges_.end(), Range{list, 0, -1});
  it->first = std::min(first, last);
  it->last = std::max(first, last);
  const int margin = std::max(it->last - it->first + 1, kMinKeepMargin);
  return removeIf(
      [this, list, margin](const LoadRequest& r) { return r.list == list && distance(r) > margin; });
}

std::vector<LoadRequest> LoadQueue::dropOtherGenerations(ListId list, quint64 generation) {
  return removeIf(
      [list, generation](const LoadRequest& r) { return r.list == list && r.generation != generation; });
}

std::vector<LoadRequest> LoadQueue::dropGeneration(ListId list, quint64 generation) {
  return removeIf(
      [list, generation](const LoadRequest& r) { return r.list == list && r.generation == generation; });
}

std::vector<LoadRequest> LoadQueue::takeAll() {
  return std::exchange(waiting_, {});
}

int LoadQueue::distance(const LoadRequest& request) const {
  const Range* range = rangeOf(request.list);
  if (!range) return 0;
  if (request.index < range->first) return range->first - request.index;
  if (request.index > range->last) return request.index - range->last;
  return 0;
}

const LoadQueue::Range* LoadQueue::rangeOf(ListId list) const {
  for (const Range& range : ranges_)
    if (range.list == list) return &range;
  return nullptr;
}

template <typename Predicate>
std::vector<LoadRequest> LoadQueue::removeIf(Predicate predicate) {
  std::vector<LoadRequest> removed;
  auto keep = std::stable_partition(waiting_.begin(), waiting_.end(),
                                    [&](const LoadRequest& r) { return !predicate(r); });
  std::move(keep, waiting_.end(), std::back_inserter(removed));
  waiting_.erase(keep, waiting_.end());
  return removed;
}

}  // namespace pimrose
