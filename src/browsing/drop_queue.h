#pragma once

#include <functional>

#include <QObject>
#include <QStringList>
#include <QTimer>

// The queue between dropped paths and opening them.
//
// queuePath (the drop callback) only appends the path and sets the state to Queued. The drop timer
// (every 50 ms) advances Idle -> Queued -> Waiting -> Opening -> Idle; on the event that reaches Opening, the
// whole batch goes to the open function at once and the queue empties. A path queued in the meantime puts the
// state back to Queued and joins the same batch, so drops that follow each other closely open
// together, between 50 and 100 ms after the last one.
//
// The timer runs only while paths wait: the first path of a batch starts it, the opening of the
// batch stops it, so an idle program is never woken for nothing. A batch still opens on the second
// tick after its last path. The timer is the queue's own `timer()` unless `setTimerSwitch` hands the
// ticks to another one (the main window's `时钟_拖放路径`), which then calls tick().
//
// `open` receives the batch in drop order; EnumerationController::openDropped is made for it (it
// lists the batch and remembers it as the opened paths).
//
// setBatchGrown hands the batch on while it waits (EnumerationController::prepareDropped is made for
// it), once per turn of the event loop in which paths joined it: a drop reports its paths one by
// one, and a drop of 100,000 files must cost the batch's listing once, not once per path.

namespace pimrose {

class DropQueue : public QObject {
  Q_OBJECT

 public:
  enum class State { Idle = 0, Queued = 1, Waiting = 2, Opening = 3 };
  using OpenFunction = std::function<void(const QStringList& paths)>;
  using TimerSwitch = std::function<void(bool run)>;
  using BatchFunction = std::function<void(const QStringList& paths)>;

  explicit DropQueue(OpenFunction open, QObject* parent = nullptr);

  void queuePath(const QString& path);
  State state() const { return state_; }
  const QStringList& pendingPaths() const { return pending_; }
  QTimer& timer() { return timer_; }
  // Starts and stops the timer that calls tick(); the queue's own timer stays stopped from here on.
  void setTimerSwitch(TimerSwitch timerSwitch);
  // Called with the whole waiting batch after the turn in which paths joined it.
  void setBatchGrown(BatchFunction grown) { batchGrown_ = std::move(grown); }

  // One event of the drop timer.
  void tick();

 private:
  void announceBatch();

  OpenFunction open_;
  BatchFunction batchGrown_;
  bool announceQueued_ = false;
  QStringList pending_;
  State state_ = State::Idle;
  QTimer timer_;
  TimerSwitch timerSwitch_;
};

}  // namespace pimrose
