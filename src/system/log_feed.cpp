#include "system/log_feed.h"

#include <deque>
#include <mutex>

#include <QDateTime>
#include <QElapsedTimer>
#include <QMetaObject>

namespace pimrose {

// Shared between the feed and every receiver handed out, so a producer that is still inside push
// when the feed goes away touches nothing that is gone.
struct LogFeed::Inbox {
  std::size_t capacity;
  Clock clock;

  std::mutex queueMutex;  // guards the queue and the numbering only; nothing is called under it
  std::deque<LogLine> waiting;
  quint64 lastNumber = 0;
  bool wakePending = false;

  ThreadWake::Bell bell;  // set before any receiver is handed out, read-only after

  // Answers whether the UI thread needs waking for this line.
  bool add(const QString& text) {
    const qint64 stamp = clock ? clock() : QDateTime::currentMSecsSinceEpoch();
    const std::lock_guard lock(queueMutex);
    waiting.push_back({++lastNumber, stamp, text});
    if (waiting.size() > capacity) waiting.pop_front();
    return !std::exchange(wakePending, true);
  }

  void wake() const { bell(); }

  // Takes the next batch; the wake-up stays pending while more lines wait.
  std::vector<LogLine> takeBatch(std::size_t most, bool& more) {
    const std::lock_guard lock(queueMutex);
    const std::size_t count = std::min(most, waiting.size());
    std::vector<LogLine> batch(std::make_move_iterator(waiting.begin()),
                               std::make_move_iterator(waiting.begin() + std::ptrdiff_t(count)));
    waiting.erase(waiting.begin(), waiting.begin() + std::ptrdiff_t(count));
    more = !waiting.empty();
    wakePending = more;
    return batch;
  }
};

LogFeed::LogFeed(std::size_t capacity, Clock clock, QObject* parent)
    : QObject(parent), inbox_(std::make_shared<Inbox>()) {
  inbox_->capacity = std::max<std::size_t>(capacity, 1);
  inbox_->clock = std::move(clock);
  inbox_->bell = (new ThreadWake([this] { deliver(); }, this))->bell();
}

LogFeed::~LogFeed() = default;

void LogFeed::push(const QString& text) {
  if (inbox_->add(text)) inbox_->wake();
}

LogReceiver LogFeed::receiver() const {
  return [inbox = inbox_](const QString& line) {
    if (inbox->add(line)) inbox->wake();
  };
}

// The first batch always goes, so the lines keep moving however slow the turn; the turn's share is
// measured on the wall clock, which also counts the time the thread was not running.
void LogFeed::deliver() {
  QElapsedTimer turn;
  turn.start();
  bool more = true;
  while (more) {
    std::vector<LogLine> batch = inbox_->takeBatch(kBatch, more);
    if (!batch.empty()) Q_EMIT linesArrived(batch);
    if (turn.elapsed() >= kTurnBudgetMs) break;
  }
  // The remaining batches wait for the next turn of the event loop, after input and painting.
  if (more) QMetaObject::invokeMethod(this, &LogFeed::deliver, Qt::QueuedConnection);
}

}  // namespace pimrose
