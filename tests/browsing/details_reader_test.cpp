#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "browsing/details_reader.h"
#include "support/loading_signal_recorder.h"
#include "support/sandbox.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

// A details read that waits, as on a slow disk, until the test lets the named file through.
class HeldReads {
 public:
  QString operator()(const QString& path, qsizetype position, qsizetype count) {
    std::unique_lock lock(mutex_);
    ++reading_;
    wake_.wait(lock, [&] { return passed_.contains(path) || passed_.contains(QStringLiteral("*")); });
    return QStringLiteral("%1 %2/%3").arg(path).arg(position).arg(count);
  }
  void pass(const QString& path) {
    {
      std::lock_guard lock(mutex_);
      passed_ << path;
    }
    wake_.notify_all();
  }
  int reading() {
    std::lock_guard lock(mutex_);
    return reading_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  QStringList passed_;
  int reading_ = 0;
};

struct DetailsReaderFixture : ::testing::Test {
  HeldReads reads;
  DetailsReader reader{[this](const QString& path, qsizetype position, qsizetype count) {
    return reads(path, position, count);
  }};
  test::SignalRecorder<QString> lines{&reader, &DetailsReader::detailsReady};
  const QStringList list{"a.jpg", "b.jpg", "c.jpg"};

  ~DetailsReaderFixture() override { reads.pass(QStringLiteral("*")); }
};

TEST_F(DetailsReaderFixture, OnlyTheNewestClickShowsWhenAnOlderReadFinishesLate) {
  reader.request(list, 0);
  ASSERT_TRUE(test::waitFor([this] { return reads.reading() == 1; }));
  reader.request(list, 1);  // waits behind the held read
  reader.request(list, 2);  // replaces the waiting one
  reads.pass("a.jpg");
  reads.pass("c.jpg");
  ASSERT_TRUE(test::waitFor([this] { return lines.size() == 1; }));
  EXPECT_EQ(lines.last(), QStringLiteral("c.jpg 3/3"));
  EXPECT_EQ(reads.reading(), 2);  // b.jpg was never read
}

TEST_F(DetailsReaderFixture, ReadForAListThatWentIsDropped) {
  reader.request(list, 1);
  ASSERT_TRUE(test::waitFor([this] { return reads.reading() == 1; }));
  reader.dropPending();
  reads.pass("b.jpg");
  reader.request(list, 0);
  reads.pass("a.jpg");
  ASSERT_TRUE(test::waitFor([this] { return lines.size() == 1; }));
  EXPECT_EQ(lines.last(), QStringLiteral("a.jpg 1/3"));
}

TEST_F(DetailsReaderFixture, IndexOutsideTheListGivesTheEmptyLineAtOnce) {
  for (qsizetype index : {qsizetype(-1), qsizetype(3)}) {
    lines.clear();
    reader.request(list, index);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.last().isEmpty());
  }
  EXPECT_EQ(reads.reading(), 0);
}

TEST(DetailsReaderTest, RealReadGivesTheLineOfAMissingFileCalmly) {
  test::Sandbox box;
  DetailsReader reader;
  test::SignalRecorder<QString> lines{&reader, &DetailsReader::detailsReady};
  reader.request({box.filePath("gone.jpg")}, 0);
  ASSERT_TRUE(test::waitFor([&] { return lines.size() == 1; }));
  EXPECT_TRUE(lines.last().startsWith(QStringLiteral("位置：1/1   分辨率：0*0")));
  EXPECT_TRUE(lines.last().endsWith(box.filePath("gone.jpg")));
}

}  // namespace
}  // namespace pimrose
