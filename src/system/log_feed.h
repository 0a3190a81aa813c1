#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QString>

#include "platform/log_sink.h"
#include "platform/thread_wake.h"

namespace pimrose {

// One line on its way to the log window, numbered from 1 in arrival order.
struct LogLine {
  quint64 number = 0;
  qint64 msecsSinceEpoch = 0;  // when it was logged
  QString text;
};

// Carries log lines from any thread to the UI thread. A producer numbers its line, stamps it and
// queues it under a short lock that guards nothing but the queue; it never waits for the UI thread
// and never touches the list. The UI thread is woken once per burst and takes the lines in small
// batches; it hands over batches for at most kTurnBudgetMs of one event-loop turn, then lets input and
// painting run first. A UI thread that gets little processor time (many busy producers on few cores)
// thus takes one batch per turn, so a flood of lines never stalls it for long.
//
// At most `capacity` lines wait: when the UI thread falls behind, the oldest waiting lines give way
// (their numbers are used up all the same), so memory stays flat however many lines arrive.
//
// Usage (UI thread):
//   LogFeed feed;
//   QObject::connect(&feed, &LogFeed::linesArrived, &window, [&](const std::vector<LogLine>& lines) {...});
//   setLogReceiver(feed.receiver());
class LogFeed : public QObject {
  Q_OBJECT

 public:
  using Clock = std::function<qint64()>;  // milliseconds since the epoch

  static constexpr std::size_t kCapacity = 10000;
  static constexpr std::size_t kBatch = 100;
  static constexpr int kTurnBudgetMs = 4;

  explicit LogFeed(std::size_t capacity = kCapacity, Clock clock = {}, QObject* parent = nullptr);
  ~LogFeed() override;

  // Any thread.
  void push(const QString& text);
  // A receiver for the log sink that feeds this object; it stays safe to call after the feed is gone
  // (its lines then go nowhere).
  LogReceiver receiver() const;

 Q_SIGNALS:
  void linesArrived(const std::vector<pimrose::LogLine>& lines);

 private:
  struct Inbox;
  void deliver();

  std::shared_ptr<Inbox> inbox_;
};

}  // namespace pimrose
