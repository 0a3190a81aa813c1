#include "browsing/enumeration_controller.h"

#include <malloc.h>

#include <utility>

#include <QDebug>
#include <QPointer>

#include "browsing/browsing_log.h"
#include "browsing/picture_types.h"
#include "browsing/writing_systems.h"
#include "thumbnails/icon_size.h"

namespace pimrose {

namespace {

EnumerationController::Lister orListPictures(EnumerationController::Lister lister) {
  if (lister) return lister;
  return [](const QStringList& paths, const CancelFlag* cancel, FoundCount* found, const QString& types,
            const FirstPictures& first,
            WalkSummary* summary) { return listPictures(paths, cancel, found, types, {}, summary, first); };
}

// The paths of a listing for the log: a drop of 100,000 files makes no line of megabytes.
QString pathsForLog(const QStringList& paths) {
  constexpr qsizetype kShown = 3;
  QString text;
  QDebug(&text).nospace() << paths.mid(0, kShown);
  if (paths.size() > kShown) text += QStringLiteral(" and %1 more").arg(paths.size() - kShown);
  return text;
}

// A walk that was cut short holds nothing anyone will look at. Its strings were spread over the
// worker's heap, whose freed pages the allocator keeps unless asked: hundreds of MB after a big walk.
void dropCancelled(QStringList& pictures) {
  pictures = QStringList();
  malloc_trim(0);
}

}  // namespace

// Under the worker's lock, so the count of a walk already done is never reset after the next one
// has begun.
std::optional<EnumerationController::Listing> EnumerationController::Newest::take() {
  if (!waiting) return std::nullopt;
  *cancel = false;
  *found = 0;
  return std::exchange(waiting, std::nullopt);
}

void EnumerationController::Newest::stop() {
  waiting.reset();
  *cancel = true;
}

EnumerationController::EnumerationController(Lister lister, QObject* parent)
    : QObject(parent),
      lister_(orListPictures(std::move(lister))),
      firstFound_([this](std::vector<FirstFound>& found) {
        for (const FirstFound& first : found) takeFirstFound(first);
      }),
      worker_([this](Listing& listing) { return list(listing); },
              [this](std::vector<Finished>& finished) { takeFinished(finished); }, &cancelCurrent_, &found_) {
  progressTimer_.setSingleShot(true);
  connect(&progressTimer_, &QTimer::timeout, this, &EnumerationController::reportProgress);
}

EnumerationController::~EnumerationController() = default;

void EnumerationController::initIconSize(int sliderPosition) {
  iconSize_ = iconSizeForSliderPosition(sliderPosition);
}

void EnumerationController::setIconSizeFromSlider(int sliderPosition) {
  iconSize_ = iconSizeForSliderPosition(sliderPosition);
  Q_EMIT viewerHideRequested();
  startListing(openedPaths_, true);
}

void EnumerationController::setMoreFormats(bool on) {
  if (on == moreFormats_) return;
  moreFormats_ = on;
  if (!openedPaths_.isEmpty()) startListing(openedPaths_, false);
}

void EnumerationController::openPaths(const QStringList& paths) {
  startListing(paths, false);
}

void EnumerationController::openDropped(const QStringList& paths) {
  openedPaths_ = paths;
  if (!adoptPrepared(paths)) startListing(paths, false);
}

void EnumerationController::prepareDropped(const QStringList& paths, qsizetype firstScreen) {
  startListing(paths, false, true, firstScreen);
}

// The prepared listing becomes the open one when nothing has superseded it and it walks what
// would be walked now; one already finished is shown at once.
bool EnumerationController::adoptPrepared(const QStringList& paths) {
  if (heldRequest_ == 0 || heldRequest_ != lastRequest_ || heldPaths_ != paths ||
      heldTypes_ != pictureTypes(moreFormats_))
    return false;
  const quint64 request = std::exchange(heldRequest_, 0);
  if (heldResult_) {
    const Finished done = std::move(*heldResult_);
    heldResult_.reset();
    publishWhenNamesReady(done);
    return true;
  }
  adoptedRequest_ = request;
  ++listing_;
  progressTimer_.start(progressShown_ ? kProgressInterval : kProgressDelay);
  return true;
}

QSize EnumerationController::itemSize() const {
  return itemSizeForIconSize(iconSize_);
}

// A held listing is not counted by isListing() and starts no progress until it is adopted.
void EnumerationController::startListing(const QStringList& paths, bool afterIconSizeChange, bool held,
                                         qsizetype firstScreen) {
  const QString types = pictureTypes(moreFormats_);
  Listing listing{++lastRequest_, paths, types, afterIconSizeChange, {}, held, firstScreen};
  listing.clock.start();
  heldRequest_ = held ? listing.request : 0;
  heldPaths_ = held ? paths : QStringList();
  heldTypes_ = listing.types;
  heldResult_.reset();
  requestedPaths_ += quint64(paths.size());
  worker_.change([&](Newest& queue) {
    // Replaced before it started: it never finishes.
    if (queue.waiting && (!queue.waiting->held || queue.waiting->request == adoptedRequest_)) --listing_;
    queue.waiting = std::move(listing);
    cancelCurrent_ = true;
    // Under the lock, before the worker can take the new listing: reset after it, the count of a
    // walk already done would be lost.
    found_ = 0;
  });
  if (held) return;
  ++listing_;
  // Progress is told only for a listing that takes a while; one already shown goes on at its pace.
  progressTimer_.start(progressShown_ ? kProgressInterval : kProgressDelay);
}

void EnumerationController::reportProgress() {
  progressShown_ = true;
  Q_EMIT listingProgress(found_.load(std::memory_order_relaxed));
  progressTimer_.start(kProgressInterval);
}

void EnumerationController::endProgress() {
  progressTimer_.stop();
  if (!progressShown_) return;
  progressShown_ = false;
  Q_EMIT listingProgressEnded();
}

// Worker thread.
EnumerationController::Finished EnumerationController::list(Listing& listing) {
  FirstPictures first;
  if (listing.firstScreen > 0)
    first = {listing.firstScreen,
             [slot = firstFound_.slot(), request = listing.request](const QStringList& found) {
               slot.put(FirstFound{request, found});
             }};
  WalkSummary summary;
  QStringList pictures = lister_(listing.paths, &cancelCurrent_, &found_, listing.types, first, &summary);
  if (cancelCurrent_.load()) dropCancelled(pictures);
  // A big folder's paths are spread over the heap: reading all of them again for their scripts
  // cost tens of milliseconds while the loaders made the first screen.
  QString writingSystems = summary.asciiNames ? QString() : writingSystemSamples(pictures);
  return {std::move(listing), std::move(pictures), std::move(writingSystems)};
}

void EnumerationController::takeFinished(std::vector<Finished>& finished) {
  for (const Finished& done : finished) finishListing(done);
}

// The first pictures of the newest prepared listing, held or adopted, until it finishes. Arriving
// through an inbox of their own, they may come after the listing they were told ahead of.
void EnumerationController::takeFirstFound(const FirstFound& first) {
  if (first.request != lastRequest_ || first.request == firstTold_) return;
  if (first.request != heldRequest_ && first.request != adoptedRequest_) return;
  firstTold_ = first.request;
  Q_EMIT dropListPrepared(first.pictures, itemSize());
}

void EnumerationController::finishListing(const Finished& done) {
  const Listing& listing = done.listing;
  if (listing.request == lastRequest_) firstTold_ = listing.request;
  if (listing.held && listing.request != adoptedRequest_) {
    if (listing.request != heldRequest_) return;  // superseded before the drop queue opened it
    heldResult_ = done;
    Q_EMIT dropListPrepared(done.pictures, itemSize());
    return;
  }
  --listing_;
  if (listing.request != lastRequest_) return;  // superseded by a newer open
  publishWhenNamesReady(done);
}

// Until the names are ready the listing goes on as far as anyone can tell; a newer open that came
// meanwhile wins.
void EnumerationController::publishWhenNamesReady(const Finished& done) {
  if (!namePreparer_ || done.writingSystems.isEmpty()) {
    publish(done.listing, done.pictures);
    return;
  }
  ++listing_;
  namePreparer_(done.writingSystems, [self = QPointer(this), done] {
    if (!self) return;
    --self->listing_;
    if (done.listing.request == self->lastRequest_) self->publish(done.listing, done.pictures);
  });
}

void EnumerationController::publish(const Listing& listing, const QStringList& pictures) {
  endProgress();
  qCInfo(lcBrowsing).noquote() << "opened" << pathsForLog(listing.paths) << "found" << pictures.size()
                               << "pictures in" << listing.clock.elapsed() << "ms";
  if (pictures.isEmpty()) {
    Q_EMIT openFoundNothing(listing.afterIconSizeChange);
    return;
  }
  pictureList_ = pictures;
  listGeneration_ = listing.request;
  logoHidden_ = true;
  Q_EMIT pictureListReplaced(OpenedList{listGeneration_, pictureList_, itemSize()});
}

}  // namespace pimrose
