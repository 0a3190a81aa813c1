#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include <QLoggingCategory>

#include "platform/log_sink.h"
#include "support/wait_for.h"
#include "system/log_feed.h"

Q_LOGGING_CATEGORY(lcFeedTest, "pimrose.feedtest", QtWarningMsg)
Q_LOGGING_CATEGORY(lcForeignTest, "other.feedtest", QtWarningMsg)

namespace pimrose {
namespace {

// What the terminal would have printed: the handler in place before the sink.
std::mutex printedMutex;
QStringList printed;

void recordPrinted(QtMsgType, const QMessageLogContext&, const QString& message) {
  const std::lock_guard lock(printedMutex);
  printed << message;
}

class LogSinkTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qInstallMessageHandler(recordPrinted);
    installLogSink();
  }
  void SetUp() override {
    const std::lock_guard lock(printedMutex);
    printed.clear();
  }
  void TearDown() override {
    setLogReceiver({});
    QLoggingCategory::setFilterRules(QString());
  }
  static QStringList terminal() {
    const std::lock_guard lock(printedMutex);
    return printed;
  }
};

TEST_F(LogSinkTest, InfoReachesTheReceiverWhileTheTerminalFollowsTheRules) {
  QStringList received;
  setLogReceiver([&](const QString& line) { received << line; });
  qCDebug(lcFeedTest) << "debug";
  qCInfo(lcFeedTest) << "info";
  qCWarning(lcFeedTest) << "warning";
  qCWarning(lcForeignTest) << "foreign";
  EXPECT_EQ(received, (QStringList{"info", "warning"}));
  EXPECT_EQ(terminal(), (QStringList{"warning", "foreign"}));

  QLoggingCategory::setFilterRules(QStringLiteral("pimrose.feedtest=true"));
  received.clear();
  qCDebug(lcFeedTest) << "debug";
  qCInfo(lcFeedTest) << "info";
  EXPECT_EQ(received, QStringList{"info"}) << "debug lines stay out of the window";
  EXPECT_EQ(terminal(), (QStringList{"warning", "foreign", "debug", "info"}));

  QLoggingCategory::setFilterRules(QStringLiteral("pimrose.*=false"));
  received.clear();
  qCWarning(lcFeedTest) << "silenced";
  EXPECT_EQ(received, QStringList{"silenced"}) << "switched off for the terminal, still in the window";
  EXPECT_EQ(terminal().size(), 4);
}

TEST_F(LogSinkTest, AReceiverThatLogsDoesNotDeadlock) {
  std::atomic<int> calls = 0;
  setLogReceiver([&](const QString& line) {
    ++calls;
    qCWarning(lcFeedTest) << "echo of" << line;
    setLogReceiver([&](const QString&) { ++calls; });  // replacing itself from inside the call
  });
  std::thread other([] { qCWarning(lcFeedTest) << "from a thread"; });
  other.join();
  EXPECT_EQ(calls, 1) << "the echo is printed, not handed back to the receiver that logged it";
  qCInfo(lcFeedTest) << "after";
  EXPECT_EQ(calls, 2);
}

TEST(LogFeedTest, NumbersStampsAndBatchesOnTheUiThread) {
  LogFeed feed(LogFeed::kCapacity, [] { return qint64(1234); });
  std::vector<std::vector<LogLine>> batches;
  QObject::connect(&feed, &LogFeed::linesArrived,
                   [&](const std::vector<LogLine>& lines) { batches.push_back(lines); });
  const std::size_t count = LogFeed::kBatch * 2 + LogFeed::kBatch / 2;
  for (std::size_t i = 0; i < count; ++i) feed.push(QString::number(i));
  EXPECT_TRUE(batches.empty()) << "nothing arrives before the UI thread's next turn";
  ASSERT_TRUE(test::waitFor([&] { return batches.size() == 3; }));
  EXPECT_EQ(batches[0].size(), LogFeed::kBatch);
  EXPECT_EQ(batches[2].size(), LogFeed::kBatch / 2);
  EXPECT_EQ(batches[0].front().number, 1u);
  EXPECT_EQ(batches[0].front().text, QStringLiteral("0"));
  EXPECT_EQ(batches[0].front().msecsSinceEpoch, 1234);
  EXPECT_EQ(batches[2].back().number, count);
  feed.push(QStringLiteral("later"));
  ASSERT_TRUE(test::waitFor([&] { return batches.size() == 4; }));
  EXPECT_EQ(batches[3].front().number, count + 1);
}

TEST(LogFeedTest, WaitingLinesAreCappedAndNumbersKeepCounting) {
  LogFeed feed(1000);
  std::vector<LogLine> arrived;
  QObject::connect(&feed, &LogFeed::linesArrived, [&](const std::vector<LogLine>& lines) {
    arrived.insert(arrived.end(), lines.begin(), lines.end());
  });
  for (int i = 1; i <= 5000; ++i) feed.push(QString::number(i));
  ASSERT_TRUE(test::waitFor([&] { return !arrived.empty() && arrived.back().number == 5000; }));
  ASSERT_EQ(arrived.size(), 1000u);
  EXPECT_EQ(arrived.front().number, 4001u);
  EXPECT_EQ(arrived.front().text, QStringLiteral("4001"));
}

TEST(LogFeedTest, AReceiverOutlivesItsFeed) {
  LogReceiver receiver;
  {
    LogFeed feed;
    receiver = feed.receiver();
  }
  receiver(QStringLiteral("nobody listens"));  // must neither crash nor post to a dead object
  QCoreApplication::processEvents();
}

TEST_F(LogSinkTest, LinesFromEightThreadsAtOnce) {
  constexpr int kThreads = 8;
  constexpr int kLinesEach = 1000;
  LogFeed feed(kThreads * kLinesEach);
  std::vector<LogLine> arrived;
  QObject::connect(&feed, &LogFeed::linesArrived, [&](const std::vector<LogLine>& lines) {
    arrived.insert(arrived.end(), lines.begin(), lines.end());
  });
  setLogReceiver(feed.receiver());
  std::vector<std::thread> producers;
  for (int t = 0; t < kThreads; ++t)
    producers.emplace_back([t] {
      for (int i = 0; i < kLinesEach; ++i) qCInfo(lcFeedTest).noquote() << t << i;
    });
  // The UI thread takes lines while they still arrive.
  ASSERT_TRUE(test::waitFor([&] { return arrived.size() == std::size_t(kThreads * kLinesEach); }, 30000));
  for (std::thread& producer : producers) producer.join();
  for (std::size_t i = 0; i < arrived.size(); ++i) ASSERT_EQ(arrived[i].number, i + 1);
  std::vector<int> nextOf(kThreads, 0);
  for (const LogLine& line : arrived) {
    const QStringList parts = line.text.split(QLatin1Char(' '));
    ASSERT_EQ(parts.size(), 2) << line.text.toStdString();
    const int thread = parts[0].toInt();
    EXPECT_EQ(parts[1].toInt(), nextOf[thread]++) << "each thread's lines arrive whole and in order";
  }
  EXPECT_TRUE(terminal().isEmpty()) << "info lines of a category that is off are not printed";
}

}  // namespace
}  // namespace pimrose
