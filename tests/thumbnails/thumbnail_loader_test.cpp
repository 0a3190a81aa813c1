#include <atomic>
#include <mutex>

#include <gtest/gtest.h>

#include "support/loading_signal_recorder.h"
#include "support/wait_for.h"
#include "thumbnails/thumbnail_loader.h"

namespace pimrose {
namespace {

QStringList pathsNamed(const QString& prefix, int count) {
  QStringList paths;
  for (int i = 0; i < count; ++i) paths.append(QStringLiteral("%1/%2.jpg").arg(prefix).arg(i));
  return paths;
}

// A picture whose size tells which request made it: width = icon size, height = the index.
LoadedThumbnail fakeThumbnail(const LoadRequest& r) {
  QImage image(r.iconSize, 1 + r.index % 7, QImage::Format_RGB32);
  image.fill(Qt::gray);
  return LoadedThumbnail{image, r.index, QSize(r.iconSize, r.index), QString()};
}

struct LoaderFixture : ::testing::Test {
  std::mutex gate;
  std::atomic<bool> blocking{false};
  std::atomic<int> loads{0};
  ThumbnailLoader loader{[this](const LoadRequest& r) {
                           ++loads;
                           if (blocking) std::lock_guard pass(gate);
                           return fakeThumbnail(r);
                         },
                         2};
  test::SignalRecorder<ThumbnailDelivery> ready{&loader, &ThumbnailLoader::thumbnailReady};

  ThumbnailDelivery delivery(qsizetype k) const { return ready.at(k); }
  bool settled() {
    return test::waitFor([this] { return loader.inFlight() == 0 && loader.waiting() == 0; });
  }
};

TEST_F(LoaderFixture, ItemCallbackAnswersByEventAndSubCode) {
  loader.setList(ListId::Files, pathsNamed("/f", 3), 1);
  struct Case {
    int event, subCode, answer;
  };
  for (const Case& c : {Case{2, 0, 0}, Case{0, -1, 0}, Case{1, 5, 1}, Case{1, -2, 1}, Case{1, -1, -1}})
    EXPECT_EQ(loader.itemCallback(ListId::Files, c.event, 0, c.subCode), c.answer)
        << c.event << " " << c.subCode;
  EXPECT_EQ(loads.load(), 0);
  EXPECT_EQ(loader.itemCallback(ListId::Files, 1, 2, 0), -1);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 1; }));
  const ThumbnailDelivery d = delivery(0);
  EXPECT_EQ(d.list, ListId::Files);
  EXPECT_EQ(d.index, 2);
  EXPECT_EQ(d.thumbnailHeight, 2);
  EXPECT_EQ(d.image.width(), 150);
  EXPECT_TRUE(settled());
}

TEST_F(LoaderFixture, ResultForARebuiltListIsDroppedAndItsPlaceFreed) {
  blocking = true;
  std::unique_lock hold(gate);
  loader.setList(ListId::Files, pathsNamed("/old", 10), 1);
  loader.itemCallback(ListId::Files, 1, 4, 0);
  ASSERT_TRUE(test::waitFor([this] { return loads.load() == 1; }));
  loader.setList(ListId::Files, pathsNamed("/new", 10), 2);
  hold.unlock();
  ASSERT_TRUE(settled());
  QCoreApplication::processEvents();
  EXPECT_EQ(ready.size(), 0);

  loader.itemCallback(ListId::Files, 1, 4, 0);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 1; }));
  EXPECT_EQ(delivery(0).index, 4);
}

TEST_F(LoaderFixture, IndexOutsideTheListLoadsNothing) {
  loader.setList(ListId::Search, pathsNamed("/s", 2), 1);
  EXPECT_EQ(loader.itemCallback(ListId::Search, 1, 2, 0), -1);
  EXPECT_EQ(loader.itemCallback(ListId::Search, 1, -1, 0), -1);
  EXPECT_EQ(loader.itemCallback(ListId::Search, 1, 9, -1), -1);
  EXPECT_EQ(loader.waiting() + loader.inFlight(), 0);
  EXPECT_EQ(loads.load(), 0);
}

TEST_F(LoaderFixture, SmartReleaseAroundItem2500OfFiveThousandAndNothingAround1500) {
  loader.setList(ListId::Files, pathsNamed("/f", 5000), 1);
  loader.setSmartRelease(true);
  loader.itemCallback(ListId::Files, 1, 2500, 0);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 1; }));
  EXPECT_EQ(delivery(0).released, (QList<int>{500, 4500}));
  EXPECT_FALSE(loader.isHeld(ListId::Files, 500));
  EXPECT_FALSE(loader.isHeld(ListId::Files, 4500));
  EXPECT_TRUE(loader.isHeld(ListId::Files, 2500));

  // A released item answers 0 once (and is held again), so the list asks for its icon anew.
  EXPECT_EQ(loader.itemCallback(ListId::Files, 1, 500, -1), 0);
  EXPECT_EQ(loader.itemCallback(ListId::Files, 1, 500, -1), -1);

  loader.itemCallback(ListId::Files, 1, 1500, 0);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 2; }));
  EXPECT_TRUE(delivery(1).released.isEmpty());

  loader.setSmartRelease(false);
  loader.itemCallback(ListId::Files, 1, 3000, 0);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 3; }));
  EXPECT_TRUE(delivery(2).released.isEmpty());
}

TEST_F(LoaderFixture, FarAwayWaitingRequestsAreDroppedAndAskedForAgain) {
  blocking = true;
  std::unique_lock hold(gate);
  loader.setList(ListId::Files, pathsNamed("/f", 1000), 1);
  for (int i = 0; i < 60; ++i) loader.itemCallback(ListId::Files, 1, i, 0);
  ASSERT_TRUE(test::waitFor([this] { return loads.load() == 2; }));  // both workers busy
  loader.setVisibleRange(ListId::Files, 900, 920);
  const int dropped = 58 - loader.waiting();
  EXPECT_GT(dropped, 0);
  int released = 0;
  for (int i = 0; i < 60; ++i) released += loader.isHeld(ListId::Files, i) ? 0 : 1;
  EXPECT_EQ(released, dropped);
  hold.unlock();
  ASSERT_TRUE(settled());
}

TEST_F(LoaderFixture, RequestsCarryIconSizeAndFastLoading) {
  std::atomic<bool> sawFast{false};
  ThumbnailLoader other(
      [&](const LoadRequest& r) {
        sawFast = r.fastLoading;
        return fakeThumbnail(r);
      },
      2);
  test::SignalRecorder<ThumbnailDelivery> otherReady(&other, &ThumbnailLoader::thumbnailReady);
  other.setList(ListId::Files, pathsNamed("/f", 1), 1);
  other.setIconSize(200);
  other.setFastLoading(true);
  other.itemCallback(ListId::Files, 1, 0, 0);
  ASSERT_TRUE(test::waitFor([&] { return otherReady.size() == 1; }));
  EXPECT_EQ(otherReady.at(0).image.width(), 200);
  EXPECT_TRUE(sawFast.load());
}

}  // namespace
}  // namespace pimrose
