#include "browsing/drop_receiver.h"

#include <QDropEvent>
#include <QMimeData>
#include <QObject>

#include "browsing/uri_list.h"

namespace pimrose {
namespace {

const QString kUriListType = QStringLiteral("text/uri-list");

// Marks a drag that started in one of the program's own lists (the thumbnails carry it).
const QString kOwnDragType = QStringLiteral("application/x-pimrose-own-drag");

bool carriesUriList(const QMimeData* mime) {
  return mime && mime->hasFormat(kUriListType) && !mime->hasFormat(kOwnDragType);
}

// The dropped paths; none for a drag of our own, which must not open its file as a folder.
QStringList pathsOf(const QMimeData* mime) {
  if (!carriesUriList(mime)) return {};
  return localPathsFromUriList(mime->data(kUriListType));
}

// Asking a drag for its data fetches all of it from the source: for a drag of 100,000 files that is
// megabytes, so it is asked once as the drag comes in, and read only as far as the first local path.
bool offersLocalPaths(const QMimeData* mime) {
  return carriesUriList(mime) && hasLocalPath(mime->data(kUriListType));
}

}  // namespace

class DropReceiver::Filter : public QObject {
 public:
  explicit Filter(DropReceiver& receiver) : receiver_(receiver) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    return receiver_.handleMessage(watched, event);
  }

 private:
  DropReceiver& receiver_;
};

DropReceiver::DropReceiver() = default;

DropReceiver::~DropReceiver() {
  stopDrops();
}

void DropReceiver::acceptDrops(QObject* window, Callback callback, AcceptSetter setAcceptDrops) {
  if (filter_ || !window) return;
  window_ = window;
  callback_ = std::move(callback);
  setAcceptDrops_ = std::move(setAcceptDrops);
  filter_ = std::make_unique<Filter>(*this);
  window->installEventFilter(filter_.get());
  if (setAcceptDrops_) setAcceptDrops_(true);
}

void DropReceiver::stopDrops() {
  if (!filter_) return;
  if (window_) {
    window_->removeEventFilter(filter_.get());
    if (setAcceptDrops_) setAcceptDrops_(false);
  }
  filter_.reset();
  window_.clear();
}

bool DropReceiver::isRegistered() const {
  return filter_ != nullptr;
}

bool DropReceiver::handleMessage(QObject* window, QEvent* event) {
  if (!filter_ || window != window_) return false;
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (event->type() == QEvent::DragEnter) dragOffersPaths_ = offersLocalPaths(drag->mimeData());
      if (dragOffersPaths_) drag->acceptProposedAction();
      return false;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QStringList paths = pathsOf(drop->mimeData());
      if (paths.isEmpty()) return false;
      drop->acceptProposedAction();
      // A copy: the callback may stop drops, which drops the stored one.
      const Callback callback = callback_;
      for (const QString& path : paths)
        if (callback) callback(path);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace pimrose
