#pragma once

#include <optional>
#include <vector>

#include <QStringList>

#include "thumbnails/thumbnail_pool.h"

// Thumbnails made for a list before it exists: the first screenful of a listing the drop queue has
// not opened yet. Each round of early requests gets a generation of its own, far above any list's,
// so its results never reach an item by themselves. When the list is filled and an item asks for a
// picture an early request covers (same path, icon size, fast loading, cache use and pixel ratio),
// the early result is handed to the item, at once if it has arrived, else on arrival; the item's
// own request is never made. Bookkeeping only, on the UI thread; ThumbnailLoader submits and
// delivers.

namespace pimrose {

class EarlyThumbnails {
 public:
  // Generations at or above this one belong to early rounds.
  static constexpr quint64 kFirstGeneration = quint64(1) << 62;

  // A new round for `paths` (the old one is forgotten): the requests to submit, made from
  // `settings` (list, icon size, options), last index first so that the pool, which takes the
  // newest of equally near requests first, starts with the first picture.
  std::vector<LoadRequest> start(const QStringList& paths, const LoadRequest& settings);
  // Whether the current round was started for `paths` with the same settings.
  bool startedFor(const QStringList& paths, const LoadRequest& settings) const;
  // One more request in the current round (for a picture past those it was started for), made
  // with the round's settings and an index of its own.
  LoadRequest add(const QString& path);
  quint64 generation() const { return generation_; }
  static bool isEarly(const LoadRequest& request) { return request.generation >= kFirstGeneration; }

  enum class Claim { None, Ready, Waiting, PreviewReady };
  // An item's request: Ready fills `ready` with the early result addressed to the item; Waiting
  // means the early result will be addressed to it by arrived(); PreviewReady fills `ready` with the
  // provisional result that has arrived, and the final one will be addressed to it by arrived().
  Claim claim(const LoadRequest& request, LoadResult* ready);
  // An early result: the result for the item waiting on it, if any (else it is kept for a claim).
  // A provisional result is passed on too, and the item keeps waiting for the final one. A result
  // of an older round is dropped.
  std::optional<LoadResult> arrived(const LoadResult& result);
  // Early requests the pool dropped before making them: answers the item requests that waited on
  // them, which now have to be made on their own.
  std::vector<LoadRequest> forget(const std::vector<LoadRequest>& dropped);
  // Every early request still waiting or in flight, or kept unclaimed.
  int size() const { return int(entries_.size()); }

 private:
  struct Entry {
    LoadRequest request;
    std::optional<LoadedThumbnail> made;
    std::optional<LoadedThumbnail> preview;  // the provisional result, until a claim or the final one
    std::optional<LoadRequest> waiter;
  };

  std::vector<Entry>::iterator find(const LoadRequest& request);

  quint64 generation_ = kFirstGeneration - 1;
  QStringList startedPaths_;
  LoadRequest settings_;
  int nextIndex_ = 0;
  std::vector<Entry> entries_;
};

}  // namespace pimrose
