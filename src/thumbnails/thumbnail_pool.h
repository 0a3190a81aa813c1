#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "thumbnails/load_queue.h"
#include "thumbnails/load_thumbnail.h"

// Worker threads that make thumbnails.
//
// At most maxInFlight requests are accepted and not yet delivered at any time (across both lists);
// requests beyond that wait in the LoadQueue, so nobody ever sleeps waiting for a place. A worker
// takes the best waiting request, runs the work function on it and hands the result to the sink
// (on the worker thread). The place stays taken until delivered() says the result has been taken
// (by the UI thread), whether the result was used or thrown away. A request for an item that is
// waiting or in flight already is not accepted twice.
//
// A result's afterDelivery (the cache entry's write) runs after the result has reached the sink, when
// a worker has no request it may take; at most kMaxWaitingFollowUps wait, beyond that the worker
// that adds one runs the oldest at once, so the pictures they hold stay few. Every waiting one is
// run before the pool is gone.
//
// A result that comes with makeFinal is provisional: it reaches the sink marked so at once, and its
// final stage waits beside the requests. Workers take waiting requests first, so a screen of camera
// photos shows every embedded preview before the first full decode; then the final stages run,
// those nearest the visible range first. Once kMaxWaitingFinals wait, a worker runs one before it
// takes another request, so a stream of new requests neither starves them nor piles them up. Only
// the final result frees the request's place (delivered()), so in-flight counts and "done" mean the
// final result. A stopping pool drops the final stages still waiting.
//
// Plain std threads, so ThreadSanitizer sees every synchronisation; ThumbnailLoader adapts it to Qt.

namespace pimrose {

inline constexpr int kMaxLoadsInFlight = 40;
inline constexpr size_t kMaxWaitingFollowUps = 16;
inline constexpr size_t kMaxWaitingFinals = 16;

struct LoadResult {
  LoadRequest request;
  LoadedThumbnail thumbnail;
};

using ThumbnailWork = std::function<LoadedThumbnail(const LoadRequest& request)>;
using ResultSink = std::function<void(LoadResult result)>;

class ThumbnailPool {
 public:
  // One thread per core, at least 2.
  static int defaultThreadCount();

  ThumbnailPool(ThumbnailWork work, ResultSink sink, int threads = defaultThreadCount(),
                int maxInFlight = kMaxLoadsInFlight);
  // Waiting requests are dropped; work already running finishes and reaches the sink, and every
  // follow-up still waiting runs.
  ~ThumbnailPool();
  ThumbnailPool(const ThumbnailPool&) = delete;
  ThumbnailPool& operator=(const ThumbnailPool&) = delete;

  bool submit(LoadRequest request);
  // Several at once: no worker takes one before all of them wait, so the queue's order decides.
  void submitAll(std::vector<LoadRequest> requests);
  void delivered(const LoadRequest& request);

  // Both answer the waiting requests they dropped.
  std::vector<LoadRequest> setVisibleRange(ListId list, int first, int last);
  std::vector<LoadRequest> dropOtherGenerations(ListId list, quint64 generation);
  std::vector<LoadRequest> dropGeneration(ListId list, quint64 generation);

  int inFlight() const;
  int waiting() const;
  // Nothing waits and nothing is in flight, read at one moment: asking inFlight() and waiting() one
  // after the other can miss a request moving from the queue to a worker between the two.
  bool idle() const;

 private:
  using FollowUp = std::function<void()>;
  struct WaitingFinal {
    LoadRequest request;
    std::function<LoadedThumbnail()> make;
  };
  void run();
  void finish(LoadRequest request, LoadedThumbnail thumbnail);
  bool mayTakeRequest() const;
  bool finalComesFirst() const;
  WaitingFinal takeNearestFinal();
  void addFollowUp(FollowUp followUp);
  bool isTaken(const LoadRequest& request) const;

  ThumbnailWork work_;
  ResultSink sink_;
  const int maxInFlight_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  LoadQueue queue_;
  std::vector<LoadRequest> inFlight_;  // accepted, not yet delivered (path cleared: only the key counts)
  std::deque<FollowUp> followUps_;     // oldest first
  std::vector<WaitingFinal> finals_;   // oldest first
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace pimrose
