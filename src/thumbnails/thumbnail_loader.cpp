#include "thumbnails/thumbnail_loader.h"

#include <algorithm>

#include "thumbnails/cached_thumbnail.h"
#include "thumbnails/smart_release.h"
#include "thumbnails/stored_icon.h"
#include "thumbnails/thumbnails_log.h"

namespace pimrose {

ThumbnailWork defaultThumbnailWork() {
  // The cache folder is found once; loaders share the cache, which keeps no state of its own. Its
  // entries are chosen and made in device pixels, so a dense screen's icons come from larger ones.
  auto cache = std::make_shared<const ThumbnailCache>();
  // Our own icons at their exact size are looked up first; they are written at the kept size only.
  auto icons = std::make_shared<const IconCache>();
  // A camera photo's embedded preview stands in while its own pixels are decoded (load_thumbnail.h).
  // The icons leave the loader in the form the list keeps them in (stored_icon.h).
  return [cache, icons](const LoadRequest& request) {
    LoadedThumbnail loaded =
        request.useCache ? loadThumbnailCached(request.path, request.iconSize, request.fastLoading, *cache,
                                               EntryWrite::AfterDelivery, EarlyPreview::Yes,
                                               request.pixelRatio, IconKeeping{icons.get(), request.keepIcon})
                         : loadThumbnail(request.path, request.iconSize, request.fastLoading,
                                         request.pixelRatio, EarlyPreview::Yes);
    loaded.image = storedIcon(loaded.image);
    if (loaded.makeFinal) {
      loaded.makeFinal = [makeFinal = std::move(loaded.makeFinal)] {
        LoadedThumbnail done = makeFinal();
        done.image = storedIcon(done.image);
        return done;
      };
    }
    return loaded;
  };
}

ThumbnailLoader::ThumbnailLoader(ThumbnailWork work, int threads, QObject* parent)
    : QObject(parent),
      inbox_([this](std::vector<LoadResult>& results) { receiveArrived(results); }),
      threads_(std::max(1, threads)) {
  // Results cross to the UI thread as values through the inbox; one wake-up takes every result that
  // has arrived by then. The pool is stopped before this object goes.
  auto sink = [slot = inbox_.slot()](LoadResult result) { slot.put(std::move(result)); };
  pool_ = std::make_unique<ThumbnailPool>(std::move(work), std::move(sink), threads);
}

ThumbnailLoader::~ThumbnailLoader() {
  pool_.reset();
}

void ThumbnailLoader::receiveArrived(std::vector<LoadResult>& results) {
  for (const LoadResult& result : results) receive(result);
  // One debug line when the pool runs dry, so a script watching the log knows the icons on view are
  // filled; the log window keeps to what a user would want to read.
  if (!results.empty() && pool_->idle()) qCDebug(lcThumbnails) << "thumbnails settled";
}

void ThumbnailLoader::setList(ListId list, const QStringList& paths, quint64 generation) {
  ListSlots* slots = state_.slotsFor(list);
  slots->rebuild(paths, generation);
  if (list == ListId::Files) {
    earlyOpen_ = false;
    further_.clear();
    furtherFed_ = 0;
  }
  // Early requests still waiting go on: they are for the list being set, as a rule.
  std::vector<LoadRequest> early;
  for (LoadRequest& request : pool_->dropOtherGenerations(list, generation)) {
    if (EarlyThumbnails::isEarly(request) && request.generation == early_.generation())
      early.push_back(std::move(request));
  }
  pool_->submitAll(std::move(early));
}

void ThumbnailLoader::prepareFirstScreen(const QStringList& paths, const QStringList& further) {
  const LoadRequest settings = requestFor(ListId::Files, 0, 0, QString());
  if (!earlyOpen_ || !early_.startedFor(paths, settings)) {
    forgetEarly(pool_->dropGeneration(ListId::Files, early_.generation()));
    pool_->submitAll(early_.start(paths, settings));
    earlyOpen_ = true;
    firstScreenTaken_ = false;
    further_.clear();
  }
  // What the round has been fed already is not fed again.
  if (further.mid(0, furtherFed_) != further_.mid(0, furtherFed_)) furtherFed_ = 0;
  further_ = further;
  feedEarly();
}

// The loaders would idle while the list waits for the drop timer: they go on with the pictures
// after the first screen. Only once nothing waits (no request of the first screen can be overtaken),
// then enough to keep every loader fed, never more: the feeding stops when the list is set, and the
// thumbnails made meanwhile wait for their items as the first screen's do.
void ThumbnailLoader::feedEarly() {
  if (!earlyOpen_ || furtherFed_ >= further_.size()) return;
  const int waiting = pool_->waiting();
  if (!firstScreenTaken_ && waiting > 0) return;
  firstScreenTaken_ = true;
  std::vector<LoadRequest> more;
  for (int k = waiting; k < threads_ && furtherFed_ < further_.size(); ++k)
    more.push_back(early_.add(further_.at(furtherFed_++)));
  pool_->submitAll(std::move(more));
}

void ThumbnailLoader::forgetEarly(const std::vector<LoadRequest>& dropped) {
  for (LoadRequest& orphan : early_.forget(dropped)) pool_->submit(std::move(orphan));
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
  const std::vector<LoadRequest> dropped = pool_->setVisibleRange(list, first, last);
  markReleased(dropped);
  forgetEarly(dropped);
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
  LoadRequest request = requestFor(list, slots->generation, index, slots->paths.at(index));
  LoadResult ready;
  switch (early_.claim(request, &ready)) {
    case EarlyThumbnails::Claim::Ready:
    case EarlyThumbnails::Claim::PreviewReady:  // the final result follows from the early request
      inbox_.put(std::move(ready));             // delivered from the event loop, as any result
      return;
    case EarlyThumbnails::Claim::Waiting:
      return;
    case EarlyThumbnails::Claim::None:
      pool_->submit(std::move(request));
  }
}

LoadRequest ThumbnailLoader::requestFor(ListId list, quint64 generation, int index,
                                        const QString& path) const {
  return LoadRequest{list,
                     generation,
                     index,
                     path,
                     state_.iconSize,
                     state_.fastLoading,
                     0,
                     state_.thumbnailCache,
                     state_.pixelRatio,
                     state_.thumbnailCache && state_.iconSize == state_.keptIconSize};
}

void ThumbnailLoader::markReleased(const std::vector<LoadRequest>& dropped) {
  for (const LoadRequest& request : dropped) {
    ListSlots* slots = state_.slotsFor(request.list);
    if (slots && slots->generation == request.generation && slots->contains(request.index))
      slots->held[size_t(request.index)] = 0;
  }
}

// A provisional result shows the item's preview until its final result replaces it; only the final
// one frees the request's place, counts for smart release and is logged as delivered.
void ThumbnailLoader::receive(const LoadResult& result) {
  const bool provisional = result.thumbnail.provisional;
  if (!provisional) pool_->delivered(result.request);
  if (EarlyThumbnails::isEarly(result.request)) {
    if (std::optional<LoadResult> forItem = early_.arrived(result)) receive(*forItem);
    if (!provisional) feedEarly();
    return;
  }
  if (!result.thumbnail.error.isEmpty()) logFailure(result);
  ListSlots* slots = state_.slotsFor(result.request.list);
  // A result for a list rebuilt since the request would put a stale picture into the item.
  if (!slots || slots->generation != result.request.generation || !slots->contains(result.request.index))
    return;
  ThumbnailDelivery delivery{ListId(result.request.list),
                             result.request.index,
                             result.thumbnail.image,
                             result.thumbnail.height,
                             {},
                             provisional};
  if (state_.smartRelease && !provisional)
    delivery.released = smartReleaseIndices(delivery.index, int(slots->held.size()));
  for (const int released : delivery.released) slots->budget.release(released);
  // The budget holds whatever the option says: with release off it is the only bound. A failed
  // final result empties the icon a preview may have filled, so its bytes are no longer held.
  if (delivery.image.isNull())
    slots->budget.release(delivery.index);
  else
    delivery.released += slots->budget.hold(delivery.index, delivery.image.sizeInBytes(), slots->visibleFirst,
                                            slots->visibleLast);
  for (const int released : delivery.released) slots->held[size_t(released)] = 0;
  if (!delivery.image.isNull())
    qCDebug(lcThumbnails) << (provisional ? "thumbnail preview shown: item" : "thumbnail delivered: item")
                          << delivery.index << "of list" << int(result.request.list) << delivery.image.size()
                          << result.request.path;
  Q_EMIT thumbnailReady(delivery);
}

void ThumbnailLoader::logFailure(const LoadResult& result) const {
  qCInfo(lcThumbnails) << "thumbnail failed" << result.request.path << result.thumbnail.error;
}

}  // namespace pimrose
