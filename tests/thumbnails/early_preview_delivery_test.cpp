#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include <gtest/gtest.h>
#include <QFileInfo>

#include "support/loading_signal_recorder.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "support/wait_for.h"
#include "thumbnails/smart_release.h"
#include "thumbnails/thumbnail_cache.h"
#include "thumbnails/thumbnail_loader.h"

// The embedded preview's delivery ahead of the final thumbnail, through the pool and the loader.

namespace pimrose {
namespace {

QImage flat(QSize size, QColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

bool looksLike(const QImage& image, QColor colour) {
  if (image.isNull()) return false;
  const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
  return std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
         std::abs(c.blue() - colour.blue()) < 40;
}

QStringList pathsNamed(const QString& prefix, int count) {
  QStringList paths;
  for (int i = 0; i < count; ++i) paths.append(QStringLiteral("%1/%2.jpg").arg(prefix).arg(i));
  return paths;
}

// Work that answers a blue stand-in first and makes the red final thumbnail afterwards; a path
// containing "bad" fails in the final step. Either step can be held at its gate by the test.
struct StagedWork {
  std::mutex firstGate, finalGate;
  std::atomic<bool> holdFirst{false}, holdFinal{false};
  std::atomic<int> started{0}, finalsStarted{0};

  LoadedThumbnail operator()(const LoadRequest& r) {
    ++started;
    if (holdFirst) std::lock_guard pass(firstGate);
    LoadedThumbnail first{flat({r.iconSize, 10}, Qt::blue), 10, QSize(r.iconSize, 10), QString()};
    first.provisional = true;
    first.makeFinal = [this, r] {
      ++finalsStarted;
      if (holdFinal) std::lock_guard pass(finalGate);
      if (r.path.contains(QLatin1String("bad")))
        return LoadedThumbnail{QImage(), 10, QSize(r.iconSize, 10), QStringLiteral("damaged")};
      return LoadedThumbnail{flat({r.iconSize, 10}, Qt::red), 10, QSize(r.iconSize, 10), QString()};
    };
    return first;
  }
};

TEST(EarlyPreviewPool, TheStandInGoesFirstAndThePlaceStaysTakenUntilTheFinalResult) {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<LoadResult> results;
  std::atomic<int> followUps{0};
  std::mutex gate;
  std::unique_lock hold(gate);
  {
    ThumbnailPool pool(
        [&](const LoadRequest&) {
          LoadedThumbnail first{flat({10, 10}, Qt::blue), 10, QSize(10, 10), QString()};
          first.makeFinal = [&gate, &followUps] {
            std::lock_guard pass(gate);
            LoadedThumbnail done{flat({10, 10}, Qt::red), 10, QSize(10, 10), QString()};
            done.afterDelivery = [&followUps] { ++followUps; };
            // A second stand-in is not offered: one extra result per request at most.
            done.makeFinal = [] { return LoadedThumbnail{flat({10, 10}, Qt::green), 1, QSize(), QString()}; };
            return done;
          };
          return first;
        },
        [&](LoadResult result) {
          std::lock_guard lock(mutex);
          results.push_back(std::move(result));
          changed.notify_all();
        },
        2, 1);
    ASSERT_TRUE(pool.submit(LoadRequest{ListId::Files, 1, 3, QStringLiteral("/p.jpg"), 10, false, 0}));
    ASSERT_TRUE(pool.submit(LoadRequest{ListId::Files, 1, 4, QStringLiteral("/q.jpg"), 10, false, 0}));
    {
      std::unique_lock lock(mutex);
      ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(5), [&] { return results.size() == 1; }));
      EXPECT_TRUE(results[0].thumbnail.provisional);
      EXPECT_FALSE(results[0].thumbnail.makeFinal);
      EXPECT_TRUE(looksLike(results[0].thumbnail.image, Qt::blue));
    }
    // The stand-in does not free the place: with one place, the second request waits.
    EXPECT_EQ(pool.inFlight(), 1);
    EXPECT_EQ(pool.waiting(), 1);
    hold.unlock();
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(5), [&] { return results.size() == 2; }));
    EXPECT_FALSE(results[1].thumbnail.provisional);
    EXPECT_EQ(results[1].request.index, results[0].request.index);  // the same request finishes first
    EXPECT_TRUE(looksLike(results[1].thumbnail.image, Qt::red));
    EXPECT_FALSE(results[1].thumbnail.afterDelivery);  // kept by the pool, run after the result
  }                                                    // stopping joins the workers and runs every follow-up
  EXPECT_EQ(results.size(), 2u);
  EXPECT_EQ(followUps.load(), 1);
}

struct PreviewLoader : ::testing::Test {
  StagedWork work;
  ThumbnailLoader loader{[this](const LoadRequest& r) { return work(r); }, 2};
  test::SignalRecorder<ThumbnailDelivery> ready{&loader, &ThumbnailLoader::thumbnailReady};

  bool settled() {
    return test::waitFor([this] { return loader.idle(); });
  }
  // Serves the event loop until the loader has taken every result that reached it so far.
  void takeArrived() { QCoreApplication::processEvents(); }
};

TEST_F(PreviewLoader, TheStandInIsDeliveredFirstAndTheFinalThumbnailReplacesIt) {
  loader.setList(ListId::Files, pathsNamed("/f", 3), 1);
  loader.loadIcon(ListId::Files, 1);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 2; }));
  ASSERT_TRUE(settled());
  EXPECT_TRUE(ready.at(0).provisional);
  EXPECT_TRUE(looksLike(ready.at(0).image, Qt::blue));
  EXPECT_FALSE(ready.at(1).provisional);
  EXPECT_TRUE(looksLike(ready.at(1).image, Qt::red));
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(ready.at(k).index, 1);
    EXPECT_EQ(ready.at(k).thumbnailHeight, 10);
  }
  // The item holds one icon, the final one.
  EXPECT_EQ(loader.heldIconBytes(ListId::Files), ready.at(1).image.sizeInBytes());
  EXPECT_EQ(ready.size(), 2);
}

// Pixels that fail after the stand-in: the final delivery empties the icon (the item shows its
// failure, as without the stand-in) and the stand-in's bytes are no longer counted as held.
TEST_F(PreviewLoader, AFailedFinalThumbnailEmptiesTheIconTheStandInFilled) {
  loader.setList(ListId::Files, {QStringLiteral("/f/bad.jpg")}, 1);
  loader.loadIcon(ListId::Files, 0);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 2; }));
  EXPECT_TRUE(ready.at(0).provisional);
  EXPECT_FALSE(ready.at(1).provisional);
  EXPECT_TRUE(ready.at(1).image.isNull());
  EXPECT_EQ(loader.heldIconBytes(ListId::Files), 0);
  ASSERT_TRUE(settled());
}

// Stale requests: the list rebuilt before the stand-in arrives, or between it and the final
// thumbnail. Nothing of the old list reaches an item from then on.
TEST_F(PreviewLoader, AListRebuiltMeanwhileGetsNeitherDelivery) {
  struct Case {
    const char* when;
    bool beforeStandIn;
    qsizetype deliveredBefore;
  } cases[] = {{"before the stand-in", true, 0}, {"between the two", false, 1}};
  quint64 generation = 1;
  for (const Case& c : cases) {
    ready.clear();
    std::unique_lock first(work.firstGate), last(work.finalGate);
    work.holdFirst = c.beforeStandIn;
    work.holdFinal = !c.beforeStandIn;
    const int finals = work.finalsStarted, started = work.started;
    loader.setList(ListId::Files, pathsNamed("/old", 4), ++generation);
    loader.loadIcon(ListId::Files, 2);
    if (c.beforeStandIn) {
      ASSERT_TRUE(test::waitFor([&] { return work.started == started + 1; })) << c.when;
    } else {
      ASSERT_TRUE(test::waitFor([&] { return ready.size() == 1; })) << c.when;
      ASSERT_TRUE(test::waitFor([&] { return work.finalsStarted == finals + 1; })) << c.when;
      EXPECT_EQ(loader.inFlight(), 1) << "the stand-in does not complete the item";
    }
    loader.setList(ListId::Files, pathsNamed("/new", 4), ++generation);
    first.unlock();
    last.unlock();
    ASSERT_TRUE(settled()) << c.when;
    takeArrived();
    EXPECT_EQ(ready.size(), c.deliveredBefore) << c.when;
    EXPECT_EQ(loader.heldIconBytes(ListId::Files), 0) << c.when;
  }
}

// Smart release belongs to the item's completion: the stand-in releases nothing around it.
TEST_F(PreviewLoader, OnlyTheFinalDeliveryReleasesFarIcons) {
  loader.setSmartRelease(true);
  loader.setList(ListId::Files, pathsNamed("/f", 4100), 1);
  loader.loadIcon(ListId::Files, 4050);
  ASSERT_TRUE(test::waitFor([this] { return ready.size() == 2; }));
  EXPECT_TRUE(ready.at(0).released.isEmpty());
  EXPECT_EQ(ready.at(1).released, smartReleaseIndices(4050, 4100));
  EXPECT_FALSE(ready.at(1).released.isEmpty());
}

// The first screen made early: the item gets the stand-in and the final thumbnail whenever it
// asks, before either has arrived, between them, or after both (then the final one alone).
TEST_F(PreviewLoader, EarlyThumbnailsPassTheStandInOnToTheItem) {
  enum class Ask { BeforeEither, BetweenThem, AfterBoth };
  const struct {
    Ask ask;
    qsizetype deliveries;
  } cases[] = {{Ask::BeforeEither, 2}, {Ask::BetweenThem, 2}, {Ask::AfterBoth, 1}};
  quint64 generation = 1;
  for (const auto& c : cases) {
    ready.clear();
    const QStringList paths = pathsNamed(QStringLiteral("/early%1").arg(generation), 2);
    std::unique_lock first(work.firstGate), last(work.finalGate);
    work.holdFirst = c.ask == Ask::BeforeEither;
    work.holdFinal = c.ask == Ask::BetweenThem;
    const int finals = work.finalsStarted, startedBefore = work.started;
    loader.prepareFirstScreen(paths.mid(0, 1));
    if (c.ask == Ask::BeforeEither) {
      ASSERT_TRUE(test::waitFor([&] { return work.started == startedBefore + 1; }));
    } else if (c.ask == Ask::BetweenThem) {
      // The stand-in was handed over before the final step began; one turn of the event loop takes it.
      ASSERT_TRUE(test::waitFor([&] { return work.finalsStarted == finals + 1; }));
      takeArrived();
    } else if (c.ask == Ask::AfterBoth) {
      first.unlock();
      last.unlock();
      ASSERT_TRUE(settled());
    }
    loader.setList(ListId::Files, paths, ++generation);
    const int started = work.started;
    loader.loadIcon(ListId::Files, 0);
    if (first.owns_lock()) first.unlock();
    if (last.owns_lock()) last.unlock();
    ASSERT_TRUE(test::waitFor([&] { return ready.size() == c.deliveries; })) << int(c.ask);
    ASSERT_TRUE(settled());
    takeArrived();
    EXPECT_EQ(ready.size(), c.deliveries) << int(c.ask);
    EXPECT_EQ(work.started, started) << "the item's own request is never made";
    EXPECT_EQ(ready.at(0).provisional, c.deliveries == 2) << int(c.ask);
    EXPECT_FALSE(ready.last().provisional) << int(c.ask);
    EXPECT_TRUE(looksLike(ready.last().image, Qt::red)) << int(c.ask);
  }
}

// The real decoders: a camera photo (red pixels, blue preview) through the default work.
struct RealPreviewLoader : ::testing::Test {
  test::Sandbox sandbox;
  QString path = sandbox.write(
      QStringLiteral("camera.jpg"),
      test::withExif(test::jpegOf(flat({800, 600}, Qt::red)), 1, test::jpegOf(flat({160, 120}, Qt::blue))));
  std::unique_ptr<ThumbnailLoader> loader;

  // The loader's work finds its cache folder under XDG_CACHE_HOME when it is made.
  void SetUp() override {
    sandbox.makeFolder(QStringLiteral("cache"));
    const QByteArray saved = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(sandbox.filePath(QStringLiteral("cache"))));
    loader = std::make_unique<ThumbnailLoader>(defaultThumbnailWork(), 2);
    if (saved.isNull())
      qunsetenv("XDG_CACHE_HOME");
    else
      qputenv("XDG_CACHE_HOME", saved);
  }
  QList<ThumbnailDelivery> load(quint64 generation) {
    test::SignalRecorder<ThumbnailDelivery> ready(loader.get(), &ThumbnailLoader::thumbnailReady);
    loader->setList(ListId::Files, {path}, generation);
    loader->loadIcon(ListId::Files, 0);
    EXPECT_TRUE(test::waitFor([&] { return loader->idle(); }));
    QCoreApplication::processEvents();
    QList<ThumbnailDelivery> all;
    for (qsizetype k = 0; k < ready.size(); ++k) all.append(ready.at(k));
    return all;
  }
};

TEST_F(RealPreviewLoader, TheFastLoadingOptionAndTheIconSizeDecideWhetherAStandInComes) {
  const struct {
    const char* what;
    bool fastLoading;
    int iconSize;
    QList<QColor> shown;
  } cases[] = {
      {"pixels decoded", false, 150, {Qt::blue, Qt::red}},
      {"fast loading", true, 150, {Qt::blue}},
      {"preview under half the icon", false, 400, {Qt::red}},
  };
  quint64 generation = 1;
  for (const auto& c : cases) {
    loader->setFastLoading(c.fastLoading);
    loader->setIconSize(c.iconSize);
    const QList<ThumbnailDelivery> got = load(generation++);
    ASSERT_EQ(got.size(), c.shown.size()) << c.what;
    for (qsizetype k = 0; k < got.size(); ++k) {
      EXPECT_EQ(got[k].provisional, k + 1 < got.size()) << c.what << " " << k;
      EXPECT_TRUE(looksLike(got[k].image, c.shown[k])) << c.what << " " << k;
    }
  }
}

TEST_F(RealPreviewLoader, ACacheHitComesAloneAndTheEntryIsMadeFromThePixels) {
  loader->setThumbnailCache(true);
  const ThumbnailCache cache(sandbox.filePath(QStringLiteral("cache/thumbnails")));
  const QList<ThumbnailDelivery> miss = load(1);
  ASSERT_EQ(miss.size(), 2);
  EXPECT_TRUE(miss[0].provisional);
  ASSERT_TRUE(test::waitFor([&] { return QFileInfo::exists(cache.entryPath(path, 256)); }));
  EXPECT_TRUE(looksLike(QImage(cache.entryPath(path, 256)), Qt::red));
  const QList<ThumbnailDelivery> hit = load(2);
  ASSERT_EQ(hit.size(), 1);
  EXPECT_FALSE(hit[0].provisional);
  EXPECT_TRUE(looksLike(hit[0].image, Qt::red));
}

}  // namespace
}  // namespace pimrose

namespace pimrose {
namespace {

// Results as the sink saw them, "P3" for item 3's stand-in, "F3" for its final result.
struct OrderRecorder {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> seen;
  int finals = 0;

  void record(const LoadResult& result) {
    std::lock_guard lock(mutex);
    // Appended rather than prefixed: GCC 12 at -O3 warns falsely (-Wrestrict) about inserting a
    // literal in front of a temporary string.
    std::string tag(1, result.thumbnail.provisional ? 'P' : 'F');
    tag += std::to_string(result.request.index);
    seen.push_back(std::move(tag));
    if (!result.thumbnail.provisional) ++finals;
    changed.notify_all();
  }
  bool waitForFinals(int count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(20), [&] { return finals >= count; });
  }
};

LoadedThumbnail standInWithFinal(const LoadRequest&) {
  LoadedThumbnail first{flat({10, 10}, Qt::blue), 10, QSize(10, 10), QString()};
  first.makeFinal = [] { return LoadedThumbnail{flat({10, 10}, Qt::red), 10, QSize(10, 10), QString()}; };
  return first;
}

std::vector<LoadRequest> requestsFor(int count) {
  std::vector<LoadRequest> requests;
  for (int i = 0; i < count; ++i)
    requests.push_back({ListId::Files, 1, i, QStringLiteral("p%1.jpg").arg(i), 10});
  return requests;
}

TEST(EarlyPreviewPool, EveryWaitingPreviewGoesOutBeforeTheFirstFinalStageNearestTheScreenFirst) {
  OrderRecorder order;
  {
    ThumbnailPool pool(
        standInWithFinal, [&](LoadResult r) { order.record(r); }, 1);
    pool.setVisibleRange(ListId::Files, 2, 3);
    pool.submitAll(requestsFor(5));
    ASSERT_TRUE(order.waitForFinals(5));
  }
  ASSERT_EQ(order.seen.size(), 10u);
  // The queue serves the visible items first; their stand-ins all go out before any final stage.
  const std::vector<std::string> previews(order.seen.begin(), order.seen.begin() + 5);
  for (const std::string& shown : previews) EXPECT_EQ(shown[0], 'P') << shown;
  const std::vector<std::string> finals(order.seen.begin() + 5, order.seen.end());
  EXPECT_EQ(finals.front().substr(0, 1), "F");
  EXPECT_TRUE(finals[0] == "F2" || finals[0] == "F3") << finals[0];
  EXPECT_TRUE(finals[1] == "F2" || finals[1] == "F3") << finals[1];
}

TEST(EarlyPreviewPool, ABacklogOfFinalStagesIsWorkedOffBeforeMoreRequests) {
  OrderRecorder order;
  const int count = int(kMaxWaitingFinals) + 4;
  {
    ThumbnailPool pool(
        standInWithFinal, [&](LoadResult r) { order.record(r); }, 1);
    pool.submitAll(requestsFor(count));
    ASSERT_TRUE(order.waitForFinals(count));
  }
  // At most kMaxWaitingFinals stand-ins ever wait for their final stage.
  int waiting = 0, most = 0;
  for (const std::string& shown : order.seen) {
    waiting += shown[0] == 'P' ? 1 : -1;
    most = std::max(most, waiting);
  }
  EXPECT_EQ(most, int(kMaxWaitingFinals));
  EXPECT_EQ(waiting, 0);
}

}  // namespace
}  // namespace pimrose
