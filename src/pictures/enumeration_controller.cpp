#include "pictures/enumeration_controller.h"

#include <QMetaObject>

#include "pictures/icon_size.h"
#include "pictures/pictures_log.h"

namespace pimrose {

EnumerationController::EnumerationController(QObject* parent) : QObject(parent) {
  // Two threads: a superseded listing may still be winding down while the newest one runs.
  workers_.setMaxThreadCount(2);
}

EnumerationController::~EnumerationController() {
  if (cancelCurrent_) cancelCurrent_->store(true);
  workers_.waitForDone();
}

void EnumerationController::initIconSize(int sliderPosition) {
  iconSize_ = iconSizeForSliderPosition(sliderPosition);
}

void EnumerationController::setIconSizeFromSlider(int sliderPosition) {
  iconSize_ = iconSizeForSliderPosition(sliderPosition);
  Q_EMIT viewerHideRequested();
  startListing(openedPaths_, true);
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
  if (cancelCurrent_) cancelCurrent_->store(true);
  auto cancel = std::make_shared<CancelFlag>(false);
  cancelCurrent_ = cancel;
  Listing listing{++lastRequest_, paths, afterIconSizeChange, {}};
  listing.clock.start();
  ++listing_;
  workers_.start([this, cancel, listing] {
    QStringList pictures = listPictures(listing.paths, cancel.get());
    QMetaObject::invokeMethod(
        this, [this, listing, pictures = std::move(pictures)] { finishListing(listing, pictures); },
        Qt::QueuedConnection);
  });
}

void EnumerationController::finishListing(const Listing& listing, const QStringList& pictures) {
  --listing_;
  if (listing.request != lastRequest_) return;  // superseded by a newer open
  qCInfo(lcPictures) << "opened" << listing.paths << "found" << pictures.size() << "pictures in"
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
