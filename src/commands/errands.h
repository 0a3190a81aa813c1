#pragma once

#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/worker_inbox.h"

namespace pimrose {

// Threads for work that may wait on a disk: one more is started for a task while none is free, up
// to a cap, and each then waits for the next task. Plain standard threads and a standard mutex, so
// ThreadSanitizer sees a task handed over.
class DiskWorkPool {
 public:
  explicit DiskWorkPool(int maxThreads);
  DiskWorkPool(const DiskWorkPool&) = delete;
  DiskWorkPool& operator=(const DiskWorkPool&) = delete;

  void start(std::function<void()> task);
  // Until every task started so far has ended (tests).
  void waitForDone();

 private:
  void serve();

  const int maxThreads_;
  std::mutex mutex_;
  std::condition_variable taskWaits_;
  std::condition_variable allDone_;
  std::deque<std::function<void()>> tasks_;
  int threads_ = 0;
  int idle_ = 0;
  int running_ = 0;
};

// The threads for work that may wait on a disk, made once and never torn down: the program does
// not wait for a hung disk at exit. Never Qt's global pool: painting splits large fills across
// that pool and waits for the pieces, so a read stuck there would freeze the window.
DiskWorkPool& diskWorkPool();

// Disk work a command asks for, done on a pool thread so a slow or hung disk never freezes the
// window; its result is handed back to the UI thread, where the command finishes (clipboard,
// notices, the file manager).
//
// A result is still delivered when the user has moved on (they asked for it), but never once this
// object has gone: the owner destroys it before anything the deliveries touch. The work itself runs
// to its end even then, so it must hold values only (a path, not a list or a window).
class Errands : public QObject {
  Q_OBJECT

 public:
  // Runs on the UI thread, once the work is done.
  using Delivery = std::function<void()>;

  explicit Errands(QObject* parent = nullptr);
  // Deliveries on their way are dropped; work that runs finishes on its own.
  ~Errands() override;

  // Runs `work` on a pool thread and `deliver` with its result on the UI thread. Results are
  // delivered as their work ends, which need not be the order they were asked in.
  template <typename Work, typename Deliver>
  void run(Work work, Deliver deliver) {
    start([work = std::move(work), deliver = std::move(deliver)]() mutable {
      return Delivery([deliver = std::move(deliver), result = work()] { deliver(result); });
    });
  }

  // Requests whose results replace one another (the clipboard holds one picture). UI thread only;
  // it must outlive the deliveries of the errands run on it.
  struct Line {
    quint64 asked = 0;
    quint64 delivered = 0;
  };

  // `run` for one request of a line: its result is dropped when a request asked later on the same
  // line was delivered first (a local file read while an earlier one waited on a slow share), so
  // what stays is what the user asked for last.
  template <typename Work, typename Deliver>
  void runOnLine(Line& line, Work work, Deliver deliver) {
    const quint64 ticket = ++line.asked;
    run(std::move(work), [&line, ticket, deliver = std::move(deliver)](const auto& result) {
      if (ticket < line.delivered) return;
      line.delivered = ticket;
      deliver(result);
    });
  }

 private:
  void start(std::function<Delivery()> work);

  Inbox<Delivery> inbox_;
};

}  // namespace pimrose
