#include "thumbnails/thumbnail_pool.h"

#include <algorithm>
#include <utility>

namespace pimrose {

int ThumbnailPool::defaultThreadCount() {
  return std::max(2, int(std::thread::hardware_concurrency()));
}

ThumbnailPool::ThumbnailPool(ThumbnailWork work, ResultSink sink, int threads, int maxInFlight)
    : work_(std::move(work)), sink_(std::move(sink)), maxInFlight_(std::max(1, maxInFlight)) {
  for (int k = 0; k < std::max(1, threads); ++k) threads_.emplace_back([this] { run(); });
}

ThumbnailPool::~ThumbnailPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.takeAll();
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

bool ThumbnailPool::submit(LoadRequest request) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_ || isTaken(request)) return false;
    if (!queue_.push(std::move(request))) return false;
  }
  wake_.notify_one();
  return true;
}

void ThumbnailPool::submitAll(std::vector<LoadRequest> requests) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    for (LoadRequest& request : requests)
      if (!isTaken(request)) queue_.push(std::move(request));
  }
  wake_.notify_all();
}

void ThumbnailPool::delivered(const LoadRequest& request) {
  {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(inFlight_.begin(), inFlight_.end(),
                           [&](const LoadRequest& r) { return sameItem(r, request); });
    if (it == inFlight_.end()) return;
    inFlight_.erase(it);
  }
  wake_.notify_one();
}

std::vector<LoadRequest> ThumbnailPool::setVisibleRange(ListId list, int first, int last) {
  std::lock_guard lock(mutex_);
  return queue_.setVisibleRange(list, first, last);
}

std::vector<LoadRequest> ThumbnailPool::dropOtherGenerations(ListId list, quint64 generation) {
  std::lock_guard lock(mutex_);
  return queue_.dropOtherGenerations(list, generation);
}

std::vector<LoadRequest> ThumbnailPool::dropGeneration(ListId list, quint64 generation) {
  std::lock_guard lock(mutex_);
  return queue_.dropGeneration(list, generation);
}

int ThumbnailPool::inFlight() const {
  std::lock_guard lock(mutex_);
  return int(inFlight_.size());
}

int ThumbnailPool::waiting() const {
  std::lock_guard lock(mutex_);
  return int(queue_.size());
}

bool ThumbnailPool::idle() const {
  std::lock_guard lock(mutex_);
  return queue_.empty() && inFlight_.empty();
}

bool ThumbnailPool::isTaken(const LoadRequest& request) const {
  return std::any_of(inFlight_.begin(), inFlight_.end(),
                     [&](const LoadRequest& r) { return sameItem(r, request); });
}

bool ThumbnailPool::mayTakeRequest() const {
  return !stopping_ && !queue_.empty() && int(inFlight_.size()) < maxInFlight_;
}

bool ThumbnailPool::finalComesFirst() const {
  return !stopping_ && !finals_.empty() && (!mayTakeRequest() || finals_.size() >= kMaxWaitingFinals);
}

// The one nearest the visible range; of those equally near, the oldest.
ThumbnailPool::WaitingFinal ThumbnailPool::takeNearestFinal() {
  auto nearest = std::min_element(finals_.begin(), finals_.end(), [this](const auto& a, const auto& b) {
    return queue_.distance(a.request) < queue_.distance(b.request);
  });
  WaitingFinal taken = std::move(*nearest);
  finals_.erase(nearest);
  return taken;
}

void ThumbnailPool::addFollowUp(FollowUp followUp) {
  FollowUp overflow;
  {
    std::lock_guard lock(mutex_);
    followUps_.push_back(std::move(followUp));
    if (followUps_.size() > kMaxWaitingFollowUps) {
      overflow = std::move(followUps_.front());
      followUps_.pop_front();
    }
  }
  if (overflow)
    overflow();
  else
    wake_.notify_one();
}

// Requests go before final stages (see finalComesFirst), both before follow-ups; a stopping pool
// takes no request and drops its final stages, but still runs its follow-ups.
void ThumbnailPool::run() {
  for (;;) {
    std::optional<LoadRequest> request;
    std::optional<WaitingFinal> final;
    FollowUp followUp;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock,
                 [this] { return stopping_ || mayTakeRequest() || !finals_.empty() || !followUps_.empty(); });
      if (stopping_) finals_.clear();
      if (finalComesFirst()) {
        final = takeNearestFinal();
      } else if (mayTakeRequest()) {
        request = queue_.pop();
        LoadRequest key = *request;
        key.path.clear();
        inFlight_.push_back(std::move(key));
      } else if (!finals_.empty()) {
        final = takeNearestFinal();
      } else if (!followUps_.empty()) {
        followUp = std::move(followUps_.front());
        followUps_.pop_front();
      } else {
        return;  // stopping, nothing left to run
      }
    }
    if (followUp) {
      followUp();
      continue;
    }
    if (final) {
      LoadedThumbnail thumbnail = final->make();
      thumbnail.makeFinal = nullptr;  // one stand-in per request at most
      finish(std::move(final->request), std::move(thumbnail));
      continue;
    }
    LoadedThumbnail thumbnail = work_ ? work_(*request) : LoadedThumbnail{};
    if (auto makeFinal = std::exchange(thumbnail.makeFinal, nullptr)) {
      // The stand-in goes out first; the place stays taken until the final result is delivered.
      thumbnail.provisional = true;
      thumbnail.afterDelivery = nullptr;
      if (sink_) sink_(LoadResult{*request, std::move(thumbnail)});
      {
        std::lock_guard lock(mutex_);
        finals_.push_back({std::move(*request), std::move(makeFinal)});
      }
      wake_.notify_one();
      continue;
    }
    finish(std::move(*request), std::move(thumbnail));
  }
}

void ThumbnailPool::finish(LoadRequest request, LoadedThumbnail thumbnail) {
  thumbnail.provisional = false;
  FollowUp after = std::exchange(thumbnail.afterDelivery, nullptr);
  if (sink_) sink_(LoadResult{std::move(request), std::move(thumbnail)});
  if (after) addFollowUp(std::move(after));
}

}  // namespace pimrose
