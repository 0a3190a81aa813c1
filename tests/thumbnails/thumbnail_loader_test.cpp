#include <algorithm>
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
    return test::waitFor([this] { return loader.idle(); });
  }
};

TEST_F(LoaderFixture, AHeldItemIsOnItsWayAndLoadIconDeliversIt) {
  loader.setList(ListId::Files, pathsNamed("/f", 3), 1);
  EXPECT_EQ(loader.stillMissing(ListId::Files, 0), ThumbnailLoader::MissingIcon::OnItsWay);
  EXPECT_EQ(loads.load(), 0);
  loader.loadIcon(ListId::Files, 2);
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
  loader.loadIcon(ListId::Files, 4);
  ASSERT_TRUE(test::waitFor([this] { return loads.load() == 1; }));
  loader.setList(ListId::Files, pathsNamed("/new", 10), 2);
  hold.unlock();
  ASSERT_TRUE(settled());
  QCoreApplication::processEvents();
  EXPECT_EQ(ready.size(), 0);

  loader.loadIcon(ListId::Files, 4);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 1; }));
  EXPECT_EQ(delivery(0).index, 4);
}

TEST_F(LoaderFixture, IndexOutsideTheListLoadsNothing) {
  loader.setList(ListId::Search, pathsNamed("/s", 2), 1);
  loader.loadIcon(ListId::Search, 2);
  loader.loadIcon(ListId::Search, -1);
  EXPECT_EQ(loader.stillMissing(ListId::Search, 9), ThumbnailLoader::MissingIcon::OnItsWay);
  EXPECT_EQ(loader.waiting() + loader.inFlight(), 0);
  EXPECT_EQ(loads.load(), 0);
}

TEST_F(LoaderFixture, SmartReleaseAroundItem2500OfFiveThousandAndNothingAround1500) {
  loader.setList(ListId::Files, pathsNamed("/f", 5000), 1);
  loader.setSmartRelease(true);
  loader.loadIcon(ListId::Files, 2500);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 1; }));
  EXPECT_EQ(delivery(0).released, (QList<int>{500, 4500}));
  EXPECT_FALSE(loader.isHeld(ListId::Files, 500));
  EXPECT_FALSE(loader.isHeld(ListId::Files, 4500));
  EXPECT_TRUE(loader.isHeld(ListId::Files, 2500));

  // A released item answers 0 once (and is held again), so the list asks for its icon anew.
  EXPECT_EQ(loader.stillMissing(ListId::Files, 500), ThumbnailLoader::MissingIcon::Released);
  EXPECT_EQ(loader.stillMissing(ListId::Files, 500), ThumbnailLoader::MissingIcon::OnItsWay);

  loader.loadIcon(ListId::Files, 1500);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 2; }));
  EXPECT_TRUE(delivery(1).released.isEmpty());

  loader.setSmartRelease(false);
  loader.loadIcon(ListId::Files, 3000);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 3; }));
  EXPECT_TRUE(delivery(2).released.isEmpty());
}

TEST_F(LoaderFixture, FarAwayWaitingRequestsAreDroppedAndAskedForAgain) {
  blocking = true;
  std::unique_lock hold(gate);
  loader.setList(ListId::Files, pathsNamed("/f", 1000), 1);
  for (int i = 0; i < 60; ++i) loader.loadIcon(ListId::Files, i);
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

TEST_F(LoaderFixture, RequestsCarryIconSizeFastLoadingAndPixelRatio) {
  std::atomic<bool> sawFast{false};
  std::atomic<double> sawRatio{0.0};
  ThumbnailLoader other(
      [&](const LoadRequest& r) {
        sawFast = r.fastLoading;
        sawRatio = r.pixelRatio;
        return fakeThumbnail(r);
      },
      2);
  test::SignalRecorder<ThumbnailDelivery> otherReady(&other, &ThumbnailLoader::thumbnailReady);
  other.setList(ListId::Files, pathsNamed("/f", 1), 1);
  other.setIconSize(200);
  other.setFastLoading(true);
  other.setPixelRatio(2.0);
  other.loadIcon(ListId::Files, 0);
  ASSERT_TRUE(test::waitFor([&] { return otherReady.size() == 1; }));
  EXPECT_EQ(otherReady.at(0).image.width(), 200);
  EXPECT_TRUE(sawFast.load());
  EXPECT_EQ(sawRatio.load(), 2.0);
}

// Icons are kept only at the size the program started with, not at each notch the slider passes.
TEST_F(LoaderFixture, OnlyRequestsAtTheKeptSizeWithTheCacheOnKeepTheirIcon) {
  std::mutex seen;
  std::vector<std::pair<int, bool>> kept;
  ThumbnailLoader other(
      [&](const LoadRequest& r) {
        const std::lock_guard lock(seen);
        kept.emplace_back(r.index, r.keepIcon);
        return fakeThumbnail(r);
      },
      1);
  test::SignalRecorder<ThumbnailDelivery> otherReady(&other, &ThumbnailLoader::thumbnailReady);
  other.setList(ListId::Files, pathsNamed("/f", 4), 1);
  other.setKeptIconSize(270);
  const struct {
    int iconSize;
    bool cache;
  } steps[] = {{270, true}, {275, true}, {270, false}, {270, true}};
  for (int i = 0; i < 4; ++i) {
    other.setIconSize(steps[i].iconSize);
    other.setThumbnailCache(steps[i].cache);
    other.loadIcon(ListId::Files, i);
    ASSERT_TRUE(test::waitFor([&] { return otherReady.size() == i + 1; }));
  }
  const std::lock_guard lock(seen);
  EXPECT_EQ(kept, (std::vector<std::pair<int, bool>>{{0, true}, {1, false}, {2, false}, {3, true}}));
}

// The first screen made before its list exists reaches the items without a second load, whether
// it had arrived when the list asked or was still being made.
TEST_F(LoaderFixture, EarlyFirstScreenFillsTheListWithoutLoadingTwice) {
  for (const bool madeFirst : {true, false}) {
    SCOPED_TRACE(madeFirst ? "made before the list asked" : "still being made when the list asked");
    ready.clear();
    loads = 0;
    const QStringList paths = pathsNamed(madeFirst ? QStringLiteral("/a") : QStringLiteral("/b"), 10);
    blocking = !madeFirst;
    std::unique_lock hold(gate, std::defer_lock);
    if (!madeFirst) hold.lock();
    loader.prepareFirstScreen(paths.mid(0, 2));
    ASSERT_TRUE(test::waitFor([this] { return loads.load() == 2; }));
    if (madeFirst) {
      ASSERT_TRUE(settled());
    }
    loader.setList(ListId::Files, paths, madeFirst ? 1 : 2);
    for (const int index : {1, 0, 5}) loader.loadIcon(ListId::Files, index);
    if (hold.owns_lock()) hold.unlock();
    ASSERT_TRUE(test::waitFor([this] { return ready.size() == 3; }));
    ASSERT_TRUE(settled());
    EXPECT_EQ(loads.load(), 3);
    QList<int> indexes;
    for (qsizetype k = 0; k < ready.size(); ++k) {
      indexes.append(delivery(k).index);
      EXPECT_EQ(delivery(k).thumbnailHeight, delivery(k).index);
    }
    std::sort(indexes.begin(), indexes.end());
    EXPECT_EQ(indexes, (QList<int>{0, 1, 5}));
  }
}

TEST_F(LoaderFixture, EarlyThumbnailOfAnotherIconSizeIsNotUsed) {
  const QStringList paths = pathsNamed(QStringLiteral("/f"), 4);
  loader.prepareFirstScreen(paths.mid(0, 1));
  ASSERT_TRUE(settled());
  loader.setIconSize(200);
  loader.setList(ListId::Files, paths, 1);
  loader.loadIcon(ListId::Files, 0);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 1; }));
  EXPECT_EQ(delivery(0).image.width(), 200);
  EXPECT_EQ(loads.load(), 2);
}

// An item waiting on an early request that the queue then drops (scrolled far away) gets its own.
TEST_F(LoaderFixture, ItemWaitingOnADroppedEarlyRequestIsLoadedOnItsOwn) {
  blocking = true;
  std::unique_lock hold(gate);
  const QStringList paths = pathsNamed(QStringLiteral("/f"), 1000);
  loader.prepareFirstScreen(paths.mid(0, 5));
  ASSERT_TRUE(test::waitFor([this] { return loads.load() == 2; }));  // items 0 and 1 taken first
  loader.setList(ListId::Files, paths, 1);
  loader.loadIcon(ListId::Files, 4);
  loader.setVisibleRange(ListId::Files, 900, 920);
  hold.unlock();
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 1; }));
  ASSERT_TRUE(settled());
  EXPECT_EQ(delivery(0).index, 4);
  EXPECT_EQ(loads.load(), 3);
}

// While the list waits, the loaders go on past the first screen, never ahead of it, and hand those
// thumbnails to the items too; asked again for the same first screen, the round goes on; once the
// list is set, nothing more is fed.
TEST_F(LoaderFixture, LoadersGoOnPastTheFirstScreenUntilTheListIsSet) {
  std::mutex orderGuard;
  QList<int> order;
  ThumbnailLoader other(
      [&](const LoadRequest& r) {
        {
          std::lock_guard guard(orderGuard);
          order.append(QStringView(r.path).mid(3).split(u'.').first().toInt());
        }
        std::lock_guard pass(gate);
        return fakeThumbnail(r);
      },
      2);
  test::SignalRecorder<ThumbnailDelivery> otherReady(&other, &ThumbnailLoader::thumbnailReady);
  auto loaded = [&] {
    std::lock_guard guard(orderGuard);
    return order;
  };
  const QStringList paths = pathsNamed(QStringLiteral("/f"), 100);
  {
    std::unique_lock hold(gate);
    other.prepareFirstScreen(paths.mid(0, 3));
    ASSERT_TRUE(test::waitFor([&] { return other.inFlight() == 2; }));
    other.prepareFirstScreen(paths.mid(0, 3), paths.mid(3, 4));
  }
  ASSERT_TRUE(test::waitFor([&] { return other.idle() && loaded().size() == 7; }));
  QList<int> firstThree = loaded().mid(0, 3);
  std::sort(firstThree.begin(), firstThree.end());
  EXPECT_EQ(firstThree, (QList<int>{0, 1, 2}));
  other.setList(ListId::Files, paths, 1);
  for (int index = 0; index < 7; ++index) other.loadIcon(ListId::Files, index);
  ASSERT_TRUE(test::waitFor([&] { return otherReady.size() == 7; }));
  EXPECT_EQ(loaded().size(), 7) << "the early thumbnails serve the items";

  const QStringList next = pathsNamed(QStringLiteral("/g"), 100);
  {
    std::unique_lock hold(gate);
    other.prepareFirstScreen(next.mid(0, 1), next.mid(1));
    other.setList(ListId::Files, next, 2);
  }
  ASSERT_TRUE(test::waitFor([&] { return other.idle(); }));
  QCoreApplication::processEvents();
  EXPECT_LE(loaded().size(), 7 + 1 + 2 * 2) << "feeding stops once the list is set";
}

}  // namespace
}  // namespace pimrose
