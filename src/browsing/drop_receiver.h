#pragma once

#include <functional>
#include <memory>

#include <QPointer>
#include <QString>

class QEvent;
class QObject;

// Receives files dropped on a window.
//
// acceptDrops(window, callback, setAcceptDrops) binds the receiver to the window with an event
// filter on the window's QObject (a QWidget or a QWindow) and turns drops on through
// setAcceptDrops(true) (for a QWidget: [w](bool on) { w->setAcceptDrops(on); }). Every local path
// of a drop's text/uri-list reaches `callback` once, in the order the source listed them. A second
// acceptDrops while registered does nothing. stopDrops (also run on destruction) removes the filter
// and calls setAcceptDrops(false), whether or not drops ever arrived.
//
// The callback should only queue the path (DropQueue::queuePath is made for it): opening from inside
// the drop event would keep the drag source waiting.

namespace pimrose {

class DropReceiver {
 public:
  using Callback = std::function<void(const QString& path)>;
  using AcceptSetter = std::function<void(bool accept)>;

  DropReceiver();
  ~DropReceiver();
  DropReceiver(const DropReceiver&) = delete;
  DropReceiver& operator=(const DropReceiver&) = delete;

  void acceptDrops(QObject* window, Callback callback, AcceptSetter setAcceptDrops = {});
  void stopDrops();
  bool isRegistered() const;

  // The window's events while registered: drag-enter/move of local files is accepted, a drop
  // reports its paths. Answers true when the event was a drop this receiver consumed.
  bool handleMessage(QObject* window, QEvent* event);

 private:
  class Filter;

  QPointer<QObject> window_;
  Callback callback_;
  AcceptSetter setAcceptDrops_;
  std::unique_ptr<Filter> filter_;
  bool dragOffersPaths_ = false;  // what the drag over the window offered as it came in
};

}  // namespace pimrose
