#pragma once

#include <functional>

#include <QObject>
#include <QStringList>
#include <QTimer>

// The queue between dropped paths and opening them.
//
// queuePath (the drop callback) only appends the path and sets the state to Queued. timer() (every
// 50 ms, running from construction) advances
// Idle -> Queued -> Waiting -> Opening -> Idle; on the event that reaches Opening, the whole batch
// goes to the open function at once and the queue empties. A path queued in the meantime puts the
// state back to Queued and joins the same batch, so drops that follow each other closely open
// together, between 50 and 100 ms after the last one.
//
// `open` receives the batch in drop order; EnumerationController::openDropped is made for it (it
// lists the batch and remembers it as the opened paths).

namespace pimrose {

class DropQueue : public QObject {
  Q_OBJECT

 public:
  enum class State { Idle = 0, Queued = 1, Waiting = 2, Opening = 3 };
  using OpenFunction = std::function<void(const QStringList& paths)>;

  explicit DropQueue(OpenFunction open, QObject* parent = nullptr);

  void queuePath(const QString& path);
  State state() const { return state_; }
  const QStringList& pendingPaths() const { return pending_; }
  QTimer& timer() { return timer_; }

  // One event of the drop timer.
  void tick();

 private:
  OpenFunction open_;
  QStringList pending_;
  State state_ = State::Idle;
  QTimer timer_;
};

}  // namespace pimrose
