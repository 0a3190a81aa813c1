#include "thumbnails/thumbnail_loader.h"

#include <QMetaObject>

#include "thumbnails/cached_thumbnail.h"
#include "thumbnails/smart_release.h"
#include "thumbnails/stored_icon.h"
#include "thumbnails/thumbnails_log.h"

namespace pimrose {

ThumbnailWork defaultThumbnailWork() {
  // The cache folder is found once; loaders share the cache, which keeps no state of its own. Its
  // entries are made for layout pixels, so a dense screen's sharper icons are made from the file.
  auto cache = std::make_shared<const ThumbnailCache>();
  // The icon leaves the loader in the form the list keeps it in (stored_icon.h).
  return [cache](const LoadRequest& request) {
    LoadedThumbnail loaded =
        request.useCache && request.pixelRatio <= 1.0
            ? loadThumbnailCached(request.path, request.iconSize, request.fastLoading, *cache,
                                  EntryWrite::AfterDelivery)
            : loadThumbnail(request.path, request.iconSize, request.fastLoading, request.pixelRatio);
    loaded.image = storedIcon(loaded.image);
    return loaded;
  };
}

ThumbnailLoader::ThumbnailLoader(ThumbnailWork work, int threads, QObject* parent) : QObject(parent) {
  // Results cross to the UI thread as values through `arrived_`, guarded by a standard mutex so
  // that the hand-over is visible to thread checkers; the queued call only wakes the UI thread, and
  // one wake-up takes every result that has arrived by then. The pool is stopped before this object
  // goes, so the sink never posts to a dead receiver.
  auto sink = [this](LoadResult result) {
    bool wake = false;
    {
      std::lock_guard lock(arrivedMutex_);
      wake = arrived_.empty();
      arrived_.push_back(std::move(result));
    }
    if (wake) QMetaObject::invokeMethod(this, &ThumbnailLoader::receiveArrived, Qt::QueuedConnection);
  };
  pool_ = std::make_unique<ThumbnailPool>(std::move(work), std::move(sink), threads);
}

ThumbnailLoader::~ThumbnailLoader() {
  pool_.reset();
}

void ThumbnailLoader::receiveArrived() {
  std::vector<LoadResult> results;
  {
    std::lock_guard lock(arrivedMutex_);
    results.swap(arrived_);
  }
  for (const LoadResult& result : results) receive(result);
  // One debug line when the pool runs dry, so a script watching the log knows the icons on view are
  // filled; the log window keeps to what a user would want to read.
  if (!results.empty() && pool_->inFlight() == 0 && pool_->waiting() == 0)
    qCDebug(lcThumbnails) << "thumbnails settled";
}

void ThumbnailLoader::setList(ListId list, const QStringList& paths, quint64 generation) {
  ListSlots* slots = state_.slotsFor(list);
  slots->rebuild(paths, generation);
  pool_->dropOtherGenerations(list, generation);
}

void ThumbnailLoader::loadIcon(ListId list, int index) {
  requestLoad(list, index);
}

ThumbnailLoader::MissingIcon ThumbnailLoader::stillMissing(ListId list, int index) {
  ListSlots* slots = state_.slotsFor(list);
  if (!slots || !slots->contains(index) || slots->held[size_t(index)] != 0) return MissingIcon::OnItsWay;
  slots->held[size_t(index)] = 1;
  return MissingIcon::Released;
}

void ThumbnailLoader::setVisibleRange(ListId list, int first, int last) {
  if (ListSlots* slots = state_.slotsFor(list)) {
    slots->visibleFirst = first;
    slots->visibleLast = last;
  }
  markReleased(pool_->setVisibleRange(list, first, last));
}

void ThumbnailLoader::setIconBudget(qint64 bytes) {
  state_.pictureSlots.budget.setBudget(bytes);
  state_.searchSlots.budget.setBudget(bytes);
}

qint64 ThumbnailLoader::heldIconBytes(ListId list) const {
  const ListSlots* slots = state_.slotsFor(list);
  return slots ? slots->budget.heldBytes() : 0;
}

bool ThumbnailLoader::isHeld(ListId list, int index) const {
  const ListSlots* slots = state_.slotsFor(list);
  return slots && slots->contains(index) && slots->held[size_t(index)] != 0;
}

void ThumbnailLoader::requestLoad(ListId list, int index) {
  const ListSlots* slots = state_.slotsFor(list);
  // An index outside the current list has nothing to load; no place is taken for it.
  if (!slots || !slots->contains(index)) return;
  pool_->submit(LoadRequest{list, slots->generation, index, slots->paths.at(index), state_.iconSize,
                            state_.fastLoading, 0, state_.thumbnailCache, state_.pixelRatio});
}

void ThumbnailLoader::markReleased(const std::vector<LoadRequest>& dropped) {
  for (const LoadRequest& request : dropped) {
    ListSlots* slots = state_.slotsFor(request.list);
    if (slots && slots->generation == request.generation && slots->contains(request.index))
      slots->held[size_t(request.index)] = 0;
  }
}

void ThumbnailLoader::receive(const LoadResult& result) {
  pool_->delivered(result.request);
  if (!result.thumbnail.error.isEmpty()) logFailure(result);
  ListSlots* slots = state_.slotsFor(result.request.list);
  // A result for a list rebuilt since the request would put a stale picture into the item.
  if (!slots || slots->generation != result.request.generation || !slots->contains(result.request.index))
    return;
  ThumbnailDelivery delivery{
      ListId(result.request.list), result.request.index, result.thumbnail.image, result.thumbnail.height, {}};
  if (state_.smartRelease) delivery.released = smartReleaseIndices(delivery.index, int(slots->held.size()));
  for (const int released : delivery.released) slots->budget.release(released);
  // The budget holds whatever the option says: with release off it is the only bound.
  if (!delivery.image.isNull())
    delivery.released += slots->budget.hold(delivery.index, delivery.image.sizeInBytes(), slots->visibleFirst,
                                            slots->visibleLast);
  for (const int released : delivery.released) slots->held[size_t(released)] = 0;
  if (!delivery.image.isNull())
    qCDebug(lcThumbnails) << "thumbnail delivered: item" << delivery.index << "of list"
                          << int(result.request.list) << delivery.image.size() << result.request.path;
  Q_EMIT thumbnailReady(delivery);
}

void ThumbnailLoader::logFailure(const LoadResult& result) const {
  qCInfo(lcThumbnails) << "thumbnail failed" << result.request.path << result.thumbnail.error;
}

}  // namespace pimrose
