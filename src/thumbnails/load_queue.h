#pragma once

#include <optional>
#include <vector>

#include <QString>

#include "thumbnails/list_id.h"

// Thumbnail requests waiting for a loader.
//
// What is on screen loads first: a request's priority is its distance from the visible range of
// its list (0 inside it); among equals the newest request goes first. A list without a known
// visible range puts all its requests at distance 0, which makes the queue newest-first. Setting a
// visible range drops the waiting requests that lie far outside it (more than one range length,
// at least kMinKeepMargin items), so a fast scroll does not leave a long tail of work nobody sees.
// Not thread-safe: ThumbnailPool guards it.

namespace pimrose {

struct LoadRequest {
  ListId list = ListId::Files;
  quint64 generation = 0;  // generation of the list the index belongs to
  int index = 0;           // 0-based item index
  QString path;            // copy of the entry, taken when the request was made
  int iconSize = 0;
  bool fastLoading = false;
  quint64 sequence = 0;     // set by the queue: higher is newer
  bool useCache = false;    // read and write the shared thumbnail cache
  double pixelRatio = 1.0;  // device pixels per layout pixel of the screen the list is on
  bool keepIcon = false;    // write the icon to our own icon cache (at the kept size only)
};

bool sameItem(const LoadRequest& a, const LoadRequest& b);

class LoadQueue {
 public:
  static constexpr int kMinKeepMargin = 32;

  // Adds the request; a request for an item already waiting only becomes the newest again.
  // Answers whether a new entry was added.
  bool push(LoadRequest request);
  std::optional<LoadRequest> pop();

  // Answers the requests dropped because they lie far from the range.
  std::vector<LoadRequest> setVisibleRange(ListId list, int first, int last);
  // Drops the requests of `list` made for a generation other than `generation`.
  std::vector<LoadRequest> dropOtherGenerations(ListId list, quint64 generation);
  // Drops the requests of `list` made for `generation`.
  std::vector<LoadRequest> dropGeneration(ListId list, quint64 generation);
  std::vector<LoadRequest> takeAll();

  size_t size() const { return waiting_.size(); }
  // How far the request's item lies outside its list's visible range (0 inside it, or without one).
  int distance(const LoadRequest& request) const;
  bool empty() const { return waiting_.empty(); }

 private:
  struct Range {
    ListId list = ListId::Files;
    int first = 0;
    int last = -1;
  };

  const Range* rangeOf(ListId list) const;
  template <typename Predicate>
  std::vector<LoadRequest> removeIf(Predicate predicate);

  std::vector<LoadRequest> waiting_;
  std::vector<Range> ranges_;
  quint64 nextSequence_ = 1;
};

}  // namespace pimrose
