#include "thumbnails/early_thumbnails.h"

#include <algorithm>

namespace pimrose {
namespace {

// Whether the early request makes exactly the thumbnail the item's request asks for.
bool makesSame(const LoadRequest& early, const LoadRequest& item) {
  return early.path == item.path && early.iconSize == item.iconSize &&
         early.fastLoading == item.fastLoading && early.useCache == item.useCache &&
         early.pixelRatio == item.pixelRatio;
}

}  // namespace

std::vector<LoadRequest> EarlyThumbnails::start(const QStringList& paths, const LoadRequest& settings) {
  entries_.clear();
  ++generation_;
  startedPaths_ = paths;
  settings_ = settings;
  settings_.generation = generation_;
  nextIndex_ = int(paths.size());
  std::vector<LoadRequest> requests;
  for (qsizetype k = paths.size() - 1; k >= 0; --k) {
    LoadRequest request = settings;
    request.generation = generation_;
    request.index = int(k);
    request.path = paths.at(k);
    entries_.push_back({request, std::nullopt, std::nullopt, std::nullopt});
    requests.push_back(std::move(request));
  }
  return requests;
}

bool EarlyThumbnails::startedFor(const QStringList& paths, const LoadRequest& settings) const {
  return paths == startedPaths_ && makesSame(settings_, settings);
}

LoadRequest EarlyThumbnails::add(const QString& path) {
  LoadRequest request = settings_;
  request.index = nextIndex_++;
  request.path = path;
  entries_.push_back({request, std::nullopt, std::nullopt, std::nullopt});
  return request;
}

std::vector<EarlyThumbnails::Entry>::iterator EarlyThumbnails::find(const LoadRequest& request) {
  return std::find_if(entries_.begin(), entries_.end(),
                      [&](const Entry& e) { return sameItem(e.request, request); });
}

EarlyThumbnails::Claim EarlyThumbnails::claim(const LoadRequest& request, LoadResult* ready) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const Entry& e) { return !e.waiter && makesSame(e.request, request); });
  if (it == entries_.end()) return Claim::None;
  if (!it->made) {
    it->waiter = request;
    if (!it->preview) return Claim::Waiting;
    *ready = LoadResult{request, std::move(*it->preview)};
    it->preview.reset();
    return Claim::PreviewReady;
  }
  *ready = LoadResult{request, std::move(*it->made)};
  entries_.erase(it);
  return Claim::Ready;
}

std::optional<LoadResult> EarlyThumbnails::arrived(const LoadResult& result) {
  auto it = find(result.request);
  if (it == entries_.end()) return std::nullopt;
  if (result.thumbnail.provisional) {
    if (it->waiter) return LoadResult{*it->waiter, result.thumbnail};
    it->preview = result.thumbnail;
    return std::nullopt;
  }
  it->preview.reset();
  if (!it->waiter) {
    it->made = result.thumbnail;
    return std::nullopt;
  }
  LoadResult forItem{std::move(*it->waiter), result.thumbnail};
  entries_.erase(it);
  return forItem;
}

std::vector<LoadRequest> EarlyThumbnails::forget(const std::vector<LoadRequest>& dropped) {
  std::vector<LoadRequest> orphans;
  for (const LoadRequest& request : dropped) {
    if (!isEarly(request)) continue;
    auto it = find(request);
    if (it == entries_.end()) continue;
    if (it->waiter) orphans.push_back(std::move(*it->waiter));
    entries_.erase(it);
  }
  return orphans;
}

}  // namespace pimrose
