#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

#include "support/loading_signal_recorder.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "support/wait_for.h"
#include "thumbnails/icon_budget.h"
#include "thumbnails/load_thumbnail.h"
#include "thumbnails/thumbnail_loader.h"

namespace pimrose {
namespace {

QByteArray stripGif(QSize size) {
  const test::GifFrame frame{QRect(QPoint(0, 0), size), QVector<quint8>(size.width() * size.height(), 1)};
  return test::gifOf(size, {Qt::black, Qt::red}, {frame});
}

QString sparseFile(const test::Sandbox& sandbox, const QString& name, const QByteArray& start, qint64 size) {
  const QString path = sandbox.write(name, start);
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite) || ::ftruncate(file.handle(), size) != 0) return {};
  return path;
}

// The folder that used to take gigabytes: every file gets a calm answer, and every thumbnail made
// fits inside its item (150 x 300 at the default icon size).
TEST(AwkwardPictures, ThumbnailsStayInsideTheItemAndHugeFilesAreRefused) {
  test::Sandbox sandbox;
  constexpr qint64 kFiveGigabytes = 5LL * 1024 * 1024 * 1024;
  const QByteArray jpeg = test::jpegOf(test::quadrants(400, 300));
  const struct {
    QString path;
    QSize thumbnail;  // empty: no thumbnail, an error instead
    int height;       // what the item is given: measured pictures keep their height
  } cases[] = {
      {sandbox.write(QStringLiteral("strip.gif"), stripGif({1, 10000})), {1, 300}, 300},
      {sandbox.write(QStringLiteral("taller strip.gif"), stripGif({1, 65535})), {1, 300}, 300},
      {sandbox.write(QStringLiteral("wide strip.gif"), stripGif({10000, 1})), {150, 1}, 1},
      {sandbox.write(QStringLiteral("photo.jpg"), jpeg), {150, 112}, 112},
      {sandbox.write(QStringLiteral("tall.png"), test::pngOf(test::quadrants(20, 400))), {15, 300}, 300},
      {sparseFile(sandbox, QStringLiteral("zeros.jpg"), {}, kFiveGigabytes), {}, 0},
      {sparseFile(sandbox, QStringLiteral("headed.jpg"), jpeg, kFiveGigabytes), {}, 112},
      {sandbox.write(QStringLiteral("text.jpg"), "just some text\n"), {}, 0},
      {sandbox.write(QStringLiteral("empty.jpg")), {}, 0},
      {sandbox.write(QStringLiteral("bomb.png"), test::pngHeaderOnly(30000, 30000)), {}, 150},
  };
  for (const auto& c : cases) {
    ASSERT_FALSE(c.path.isEmpty());
    const LoadedThumbnail loaded = loadThumbnail(c.path, 150, false);
    EXPECT_EQ(loaded.image.size(), c.thumbnail.isEmpty() ? QSize(0, 0) : c.thumbnail) << c.path.toStdString();
    EXPECT_EQ(loaded.height, c.height) << c.path.toStdString();
    EXPECT_EQ(loaded.error.isEmpty(), !c.thumbnail.isEmpty()) << loaded.error.toStdString();
  }
}

TEST(IconBudgetTest, GivesUpIconsFarthestFromTheScreenFirst) {
  IconBudget budget(1000);
  const struct {
    int index, bytes, first, last;
    QList<int> released;
    qint64 held;
  } steps[] = {
      {10, 300, 10, 12, {}, 300},
      {11, 300, 10, 12, {}, 600},
      {12, 300, 10, 12, {}, 900},
      {0, 300, 10, 12, {}, 1200},    // nothing off screen to give up but the new icon itself
      {50, 300, 10, 12, {0}, 1200},  // 0 is farther than the new 50
      {13, 300, 10, 12, {50}, 1200},
      {13, 100, 10, 12, {}, 1000},  // a new icon for a held item replaces
                                    // the old one
      {21, 300, 18, 22, {10}, 1000},
      {20, 900, 18, 22, {11, 12, 13}, 1200},  // only on-screen icons are left
  };
  for (const auto& s : steps) {
    EXPECT_EQ(budget.hold(s.index, s.bytes, s.first, s.last), s.released) << s.index;
    EXPECT_EQ(budget.heldBytes(), s.held) << s.index;
  }
  budget.release(20);
  EXPECT_EQ(budget.heldBytes(), 300);
  budget.release(99);  // never held
  EXPECT_EQ(budget.heldBytes(), 300);
  budget.clear();
  EXPECT_EQ(budget.heldCount(), 0);
}

// With memory release off the budget is the only bound: icons beyond it are given up and asked
// for again like released ones.
TEST(IconBudgetTest, LoaderKeepsTheIconsHeldWithinTheBudgetWithReleaseOff) {
  ThumbnailLoader loader(
      [](const LoadRequest& r) {
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(Qt::gray);
        return LoadedThumbnail{image, 10, QSize(r.iconSize, r.iconSize), QString()};
      },
      2);
  test::SignalRecorder<ThumbnailDelivery> ready(&loader, &ThumbnailLoader::thumbnailReady);
  QStringList paths;
  for (int i = 0; i < 100; ++i) paths.append(QStringLiteral("/p/%1.png").arg(i));
  loader.setList(ListId::Files, paths, 1);
  loader.setSmartRelease(false);
  loader.setIconBudget(3 * 400);
  loader.setVisibleRange(ListId::Files, 0, 1);
  const QList<QList<int>> releasedPerDelivery = {{}, {}, {}, {2}, {3}, {4}};
  for (int i = 0; i < releasedPerDelivery.size(); ++i) {
    loader.loadIcon(ListId::Files, i);
    ASSERT_TRUE(test::waitFor([&] { return ready.size() == i + 1; }));
    EXPECT_EQ(ready.last().released, releasedPerDelivery[i]) << i;
    EXPECT_LE(loader.heldIconBytes(ListId::Files), 3 * 400);
  }
  for (int i : {2, 3, 4}) EXPECT_FALSE(loader.isHeld(ListId::Files, i)) << i;
  for (int i : {0, 1, 5}) EXPECT_TRUE(loader.isHeld(ListId::Files, i)) << i;
  loader.setList(ListId::Files, paths, 2);
  EXPECT_EQ(loader.heldIconBytes(ListId::Files), 0);
}

// The real decoders on the pool's threads (the thread checker runs this too), then the loader is
// destroyed while loads are in flight and results wait to be taken.
TEST(RealLoaderTest, RealDecodersOnThePoolAndDestroyedWhileLoading) {
  test::Sandbox sandbox;
  const struct {
    QByteArray bytes;
    QSize thumbnail;
  } kinds[] = {
      {test::jpegOf(test::detailedPicture(400, 300, 7)), {150, 112}},
      {test::pngOf(test::quadrants(20, 400)), {15, 300}},
      {stripGif({1, 10000}), {1, 300}},
  };
  QStringList paths;
  for (int i = 0; i < 24; ++i)
    paths.append(sandbox.write(QStringLiteral("p%1.pic").arg(i), kinds[i % 3].bytes));
  {
    ThumbnailLoader loader(defaultThumbnailWork(), 2);
    test::SignalRecorder<ThumbnailDelivery> ready(&loader, &ThumbnailLoader::thumbnailReady);
    loader.setList(ListId::Files, paths, 1);
    for (int i = 0; i < 12; ++i) loader.loadIcon(ListId::Files, i);
    ASSERT_TRUE(test::waitFor([&] { return ready.size() == 12; }));
    for (qsizetype k = 0; k < ready.size(); ++k) {
      const ThumbnailDelivery& d = ready.at(k);
      EXPECT_EQ(d.image.size(), kinds[d.index % 3].thumbnail) << d.index;
      EXPECT_EQ(d.thumbnailHeight, kinds[d.index % 3].thumbnail.height()) << d.index;
    }
    for (int i = 12; i < 24; ++i) loader.loadIcon(ListId::Files, i);
    ASSERT_TRUE(test::waitFor([&] { return loader.inFlight() > 0; }));
  }
}

}  // namespace
}  // namespace pimrose
