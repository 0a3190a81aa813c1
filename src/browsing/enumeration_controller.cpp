#include "browsing/enumeration_controller.h"

#include <QMetaObject>

#include "browsing/browsing_log.h"
#include "browsing/picture_types.h"
#include "thumbnails/icon_size.h"

namespace pimrose {

namespace {

EnumerationController::Lister orListPictures(EnumerationController::Lister lister) {
  if (lister) return lister;
  return [](const QStringList& paths, const CancelFlag* cancel, FoundCount* found, const QString& types) {
    return listPictures(paths, cancel, found, types);
  };
}

}  // namespace

// The worker starts in the body, once every member it may touch exists.
EnumerationController::EnumerationController(Lister lister, QObject* parent)
    : QObject(parent), lister_(orListPictures(std::move(lister))) {
  progressTimer_.setSingleShot(true);
  connect(&progressTimer_, &QTimer::timeout, this, &EnumerationController::reportProgress);
  worker_ = std::thread([this] { work(); });
}

EnumerationController::~EnumerationController() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    cancelCurrent_ = true;
  }
  wake_.notify_one();
  worker_.join();
}

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
  startListing(paths, false);
}

QSize EnumerationController::itemSize() const {
  return itemSizeForIconSize(iconSize_);
}

void EnumerationController::startListing(const QStringList& paths, bool afterIconSizeChange) {
  Listing listing{++lastRequest_, paths, pictureTypes(moreFormats_), afterIconSizeChange, {}};
  listing.clock.start();
  {
    std::lock_guard lock(mutex_);
    if (waiting_) --listing_;  // replaced before it started: it never finishes
    waiting_ = std::move(listing);
    cancelCurrent_ = true;
    // Under the lock, before the worker can take the new listing: reset after it, the count of a
    // walk already done would be lost.
    found_ = 0;
  }
  ++listing_;
  wake_.notify_one();
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

void EnumerationController::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || waiting_; });
    if (stopping_) return;
    Listing listing = std::move(*waiting_);
    waiting_.reset();
    cancelCurrent_ = false;
    found_ = 0;
    lock.unlock();
    QStringList pictures = lister_(listing.paths, &cancelCurrent_, &found_, listing.types);
    lock.lock();
    finished_.push_back({std::move(listing), std::move(pictures)});
    QMetaObject::invokeMethod(this, &EnumerationController::takeFinished, Qt::QueuedConnection);
  }
}

void EnumerationController::takeFinished() {
  std::vector<Finished> finished;
  {
    std::lock_guard lock(mutex_);
    finished.swap(finished_);
  }
  for (const Finished& done : finished) finishListing(done.listing, done.pictures);
}

void EnumerationController::finishListing(const Listing& listing, const QStringList& pictures) {
  --listing_;
  if (listing.request != lastRequest_) return;  // superseded by a newer open
  endProgress();
  qCInfo(lcBrowsing) << "opened" << listing.paths << "found" << pictures.size() << "pictures in"
                     << listing.clock.elapsed() << "ms";
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
