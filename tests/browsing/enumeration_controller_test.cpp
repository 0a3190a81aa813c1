#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <QFile>

#include "browsing/drop_queue.h"
#include "browsing/enumeration_controller.h"
#include "browsing/picture_types.h"
#include "browsing/writing_systems.h"
#include "support/loading_signal_recorder.h"
#include "support/sandbox.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

struct ControllerFixture : ::testing::Test {
  test::Sandbox box;
  EnumerationController controller;
  test::SignalRecorder<OpenedList> replaced{&controller, &EnumerationController::pictureListReplaced};
  test::SignalRecorder<bool> nothing{&controller, &EnumerationController::openFoundNothing};

  OpenedList lastList() const { return replaced.last(); }
  bool waitIdle() {
    return test::waitFor([this] { return !controller.isListing(); });
  }
};

TEST_F(ControllerFixture, DroppedFoldersOpenReversedAndHideTheLogo) {
  box.write("a/a.jpg");
  box.write("a/b.png");
  box.write("a/c.gif");
  EXPECT_FALSE(controller.logoHidden());
  controller.openDropped({box.filePath("a")});
  ASSERT_TRUE(waitIdle());
  ASSERT_EQ(replaced.size(), 1);
  const OpenedList list = lastList();
  EXPECT_EQ(list.pictures,
            (QStringList{box.filePath("a/c.gif"), box.filePath("a/b.png"), box.filePath("a/a.jpg")}));
  EXPECT_EQ(list.itemSize, QSize(150, 300));
  EXPECT_EQ(list.generation, controller.generation());
  EXPECT_EQ(controller.pictureList(), list.pictures);
  EXPECT_TRUE(controller.logoHidden());
}

TEST_F(ControllerFixture, DropOfFilesOnlyKeepsTheListButReplacesOpenedPaths) {
  box.write("a/x.jpg");
  const QString file = box.write("lone.jpg");
  controller.openDropped({box.filePath("a")});
  ASSERT_TRUE(waitIdle());
  const quint64 generation = controller.generation();
  controller.openDropped({file});
  ASSERT_TRUE(waitIdle());
  EXPECT_EQ(replaced.size(), 1);
  ASSERT_EQ(nothing.size(), 1);
  EXPECT_FALSE(nothing.last());
  EXPECT_EQ(controller.pictureList(), QStringList{box.filePath("a/x.jpg")});
  EXPECT_EQ(controller.generation(), generation);
  EXPECT_EQ(controller.openedPaths(), QStringList{file});
}

TEST_F(ControllerFixture, NewerOpenSupersedesAnUnfinishedOne) {
  box.write("old/o.jpg");
  box.write("new/n.jpg");
  controller.openDropped({box.filePath("old")});
  controller.openDropped({box.filePath("new")});
  ASSERT_TRUE(waitIdle());
  ASSERT_EQ(replaced.size(), 1);
  EXPECT_EQ(lastList().pictures, QStringList{box.filePath("new/n.jpg")});
}

TEST_F(ControllerFixture, SliderChangeHidesTheViewerAndReadsTheFoldersAgain) {
  int hide = 0;
  QObject::connect(&controller, &EnumerationController::viewerHideRequested, [&hide] { ++hide; });
  box.write("p/a.jpg");
  controller.openDropped({box.filePath("p")});
  ASSERT_TRUE(waitIdle());
  box.write("p/b.jpg");  // appears only because the slider re-reads the disk
  controller.setIconSizeFromSlider(10);
  EXPECT_EQ(hide, 1);
  EXPECT_EQ(controller.iconSize(), 200);
  ASSERT_TRUE(waitIdle());
  ASSERT_EQ(replaced.size(), 2);
  EXPECT_EQ(lastList().itemSize, QSize(200, 400));
  EXPECT_EQ(lastList().pictures.size(), 2);
  EXPECT_GT(lastList().generation, replaced.at(0).generation);
}

// The UI thread takes finished listings only when it serves its events, so everything below
// happens while the first listing is unfinished as far as the program can tell, whatever the
// worker's speed. Drops one, two or three timer events apart make one batch or several.
TEST(RapidDropsTest, ThreeRapidDropsAndASliderChangeGiveExactlyOneListing) {
  for (const int ticksBetween : {0, 1, 2, 3}) {
    test::Sandbox box;
    EnumerationController controller;
    test::SignalRecorder<OpenedList> replaced{&controller, &EnumerationController::pictureListReplaced};
    for (const char* name : {"one/1.png", "two/2.gif", "three/3.jpg"}) box.write(QString::fromUtf8(name));
    DropQueue queue([&](const QStringList& paths) { controller.openDropped(paths); });
    queue.timer().stop();
    for (const char* name : {"one", "two", "three"}) {
      queue.queuePath(box.filePath(QString::fromUtf8(name)));
      for (int t = 0; t < ticksBetween; ++t) queue.tick();
    }
    for (int t = 0; t < 3; ++t) queue.tick();
    controller.setIconSizeFromSlider(10);
    ASSERT_TRUE(test::waitFor([&] { return !controller.isListing(); })) << ticksBetween;
    ASSERT_EQ(replaced.size(), 1) << ticksBetween;
    EXPECT_EQ(replaced.last().itemSize, QSize(200, 400));
    // Together they open as one batch; apart, the last drop is what is open.
    const QString three = box.filePath(QStringLiteral("three/3.jpg"));
    EXPECT_EQ(replaced.last().pictures.size(), ticksBetween < 2 ? 3 : 1) << ticksBetween;
    EXPECT_EQ(replaced.last().pictures.first(), three) << ticksBetween;
    // Nothing more arrives later either.
    QCoreApplication::processEvents();
    EXPECT_EQ(replaced.size(), 1);
    EXPECT_FALSE(controller.isListing());
  }
}

TEST_F(ControllerFixture, DropTimerBatchOpensThroughTheController) {
  box.write("one/1.png");
  box.write("two/2.gif");
  box.write("three/3.jpg");
  DropQueue queue([this](const QStringList& paths) { controller.openDropped(paths); });
  for (const char* name : {"one", "two", "three"}) queue.queuePath(box.filePath(QString::fromUtf8(name)));
  ASSERT_TRUE(test::waitFor([this] { return replaced.size() == 1; }));
  EXPECT_EQ(controller.openedPaths(),
            (QStringList{box.filePath("one"), box.filePath("two"), box.filePath("three")}));
  EXPECT_EQ(lastList().pictures,
            (QStringList{box.filePath("three/3.jpg"), box.filePath("two/2.gif"), box.filePath("one/1.png")}));
}

// A walk that lists for real and then holds on, as a slow disk would, until released or cancelled.
class HeldWalk {
 public:
  QStringList operator()(const QStringList& paths, const CancelFlag* cancel, FoundCount* found,
                         const QString&, const FirstPictures& first = {}, WalkSummary* summary = nullptr) {
    QStringList pictures =
        listPictures(paths, cancel, found, QString::fromUtf16(kPictureTypes), {}, summary, first);
    std::unique_lock lock(mutex_);
    ++started_;
    while (!released_ && !cancel->load()) wake_.wait_for(lock, std::chrono::milliseconds(1));
    if (cancel->load()) ++cancelled_;
    return pictures;
  }
  void release() {
    std::lock_guard lock(mutex_);
    released_ = true;
  }
  int cancelled() {
    std::lock_guard lock(mutex_);
    return cancelled_;
  }
  int started() {
    std::lock_guard lock(mutex_);
    return started_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool released_ = false;
  int started_ = 0;
  int cancelled_ = 0;
};

struct SlowListingFixture : ::testing::Test {
  test::Sandbox box;
  HeldWalk walk;
  EnumerationController controller{
      [this](const QStringList& paths, const CancelFlag* cancel, FoundCount* found, const QString& types,
             const FirstPictures& first,
             WalkSummary* summary) { return walk(paths, cancel, found, types, first, summary); }};
  QStringList events;  // "progress N", "ended", "list N" in the order they came

  SlowListingFixture() {
    QObject::connect(&controller, &EnumerationController::listingProgress, &controller,
                     [this](qsizetype found) { events << QStringLiteral("progress %1").arg(found); });
    QObject::connect(&controller, &EnumerationController::listingProgressEnded, &controller,
                     [this] { events << QStringLiteral("ended"); });
    QObject::connect(
        &controller, &EnumerationController::pictureListReplaced, &controller,
        [this](const OpenedList& list) { events << QStringLiteral("list %1").arg(list.pictures.size()); });
  }

  void makeTree(const QString& top, int folders, int perFolder) {
    for (int f = 0; f < folders; ++f)
      for (int p = 0; p < perFolder; ++p) box.write(QStringLiteral("%1/d%2/p%3.jpg").arg(top).arg(f).arg(p));
  }
};

TEST_F(SlowListingFixture, LongWalkReportsItsCountThenTheUnchangedList) {
  makeTree(QStringLiteral("tree"), 4, 5);
  const QStringList expected = listPictures({box.filePath("tree")});
  controller.openDropped({box.filePath("tree")});
  // Patient: on a machine busy with other suites the walk itself may take seconds.
  ASSERT_TRUE(test::waitFor([this] { return events.contains(QStringLiteral("progress 20")); }, 60'000));
  walk.release();
  ASSERT_TRUE(test::waitFor([this] { return !controller.isListing(); }));
  // Progress only before the list, ended exactly once, right before it.
  ASSERT_GE(events.size(), 3);
  EXPECT_EQ(events.mid(events.size() - 2), (QStringList{"ended", "list 20"}));
  for (const QString& event : events.mid(0, events.size() - 2)) EXPECT_TRUE(event.startsWith(u"progress"));
  EXPECT_EQ(controller.pictureList(), expected);
}

TEST_F(SlowListingFixture, QuickWalkShowsNoProgress) {
  makeTree(QStringLiteral("small"), 1, 2);
  walk.release();
  controller.openDropped({box.filePath("small")});
  ASSERT_TRUE(test::waitFor([this] { return !controller.isListing(); }));
  EXPECT_EQ(events, QStringList{"list 2"});
}

TEST_F(SlowListingFixture, NewDropCancelsTheHeldWalkAtOnceAndItsCountGoes) {
  makeTree(QStringLiteral("big"), 3, 4);
  makeTree(QStringLiteral("other"), 1, 3);
  controller.openDropped({box.filePath("big")});
  ASSERT_TRUE(test::waitFor([this] { return events.contains(QStringLiteral("progress 12")); }));
  controller.openDropped({box.filePath("other")});
  ASSERT_TRUE(test::waitFor([this] { return walk.cancelled() == 1; }));
  // The second walk is held too: its own count replaces the first one's.
  ASSERT_TRUE(
      test::waitFor([this] { return walk.started() == 2 && events.last() == QStringLiteral("progress 3"); }));
  walk.release();
  ASSERT_TRUE(test::waitFor([this] { return !controller.isListing(); }));
  EXPECT_EQ(events.count(QStringLiteral("ended")), 1);
  EXPECT_EQ(events.last(), QStringLiteral("list 3"));
  EXPECT_EQ(controller.openedPaths(), QStringList{box.filePath("other")});
}

// A batch listed while the drop timer holds it: nothing shows until the queue opens it, then the
// list is the one a plain open gives, at once, whether or not the walk has finished.
TEST_F(SlowListingFixture, PreparedDropShowsOnlyWhenOpenedAndIsWalkedOnce) {
  makeTree(QStringLiteral("drop"), 2, 3);
  const QStringList expected = listPictures({box.filePath("drop")});
  test::SignalRecorder<QStringList> prepared{&controller, &EnumerationController::dropListPrepared};
  for (const bool finishFirst : {false, true}) {  // in this order: a released walk stays released
    SCOPED_TRACE(finishFirst ? "walk finished before the open" : "walk still running at the open");
    events.clear();
    const int walksBefore = walk.started();
    const qsizetype preparedBefore = prepared.size();
    if (finishFirst) walk.release();
    controller.prepareDropped({box.filePath("drop")});
    ASSERT_TRUE(test::waitFor([&] { return walk.started() == walksBefore + 1; }));
    if (finishFirst) {
      ASSERT_TRUE(test::waitFor([&] { return prepared.size() == preparedBefore + 1; }));
      EXPECT_EQ(prepared.last(), expected);
    }
    EXPECT_FALSE(controller.isListing());
    EXPECT_TRUE(events.isEmpty());
    controller.openDropped({box.filePath("drop")});
    walk.release();
    ASSERT_TRUE(test::waitFor([this] { return !controller.isListing() && !events.isEmpty(); }));
    EXPECT_EQ(events, QStringList{"list 6"});
    EXPECT_EQ(walk.started(), walksBefore + 1);
    EXPECT_EQ(controller.pictureList(), expected);
    EXPECT_EQ(controller.openedPaths(), QStringList{box.filePath("drop")});
  }
}

// A big prepared drop tells its first screenful while the walk has not finished, once.
TEST_F(SlowListingFixture, PreparedDropTellsItsFirstScreenAheadOfTheListing) {
  makeTree(QStringLiteral("drop"), 1, 5);
  const QStringList expected = listPictures({box.filePath("drop")});
  test::SignalRecorder<QStringList> prepared{&controller, &EnumerationController::dropListPrepared};
  controller.prepareDropped({box.filePath("drop")}, 3);
  controller.openDropped({box.filePath("drop")});
  ASSERT_TRUE(test::waitFor([&] { return prepared.size() == 1; }));
  EXPECT_EQ(prepared.last(), expected.mid(0, 3));
  EXPECT_TRUE(controller.isListing()) << "the walk is still held";
  walk.release();
  ASSERT_TRUE(test::waitFor([this] { return !controller.isListing(); }));
  EXPECT_EQ(controller.pictureList(), expected);
  EXPECT_EQ(prepared.size(), 1);
}

// A walk that told its first screenful and finishes while the batch is still held tells the whole
// list too, so the loaders can go on past the first screen while the drop waits.
TEST_F(SlowListingFixture, HeldDropThatFinishesTellsTheWholeListAfterItsFirstScreen) {
  makeTree(QStringLiteral("drop"), 1, 5);
  const QStringList expected = listPictures({box.filePath("drop")});
  test::SignalRecorder<QStringList> prepared{&controller, &EnumerationController::dropListPrepared};
  controller.prepareDropped({box.filePath("drop")}, 3);
  ASSERT_TRUE(test::waitFor([&] { return prepared.size() == 1; }));
  EXPECT_EQ(prepared.last(), expected.mid(0, 3));
  walk.release();
  ASSERT_TRUE(test::waitFor([&] { return prepared.size() == 2; }));
  EXPECT_EQ(prepared.last(), expected);
}

// The batch that opens is not the one prepared (it grew, or the types changed): it is walked anew.
TEST_F(SlowListingFixture, PreparedDropThatNoLongerMatchesIsWalkedAgain) {
  makeTree(QStringLiteral("one"), 1, 2);
  makeTree(QStringLiteral("two"), 1, 3);
  walk.release();
  controller.prepareDropped({box.filePath("one")});
  ASSERT_TRUE(test::waitFor([this] { return walk.started() == 1; }));
  controller.openDropped({box.filePath("one"), box.filePath("two")});
  ASSERT_TRUE(test::waitFor([this] { return !controller.isListing() && !events.isEmpty(); }));
  EXPECT_EQ(walk.started(), 2);
  EXPECT_EQ(events, QStringList{"list 5"});
  EXPECT_EQ(controller.pictureList(), listPictures({box.filePath("one"), box.filePath("two")}));
}

qint64 residentMegabytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
  return 0;
}

// A walk cut short by a new drop held hundreds of MB of paths it had found (880 MB after a drop
// of "/"): the allocator kept the freed pages of the worker's heap. Measured only with the
// system's allocator: the sanitizers bring their own, which keeps freed memory on purpose.
TEST(CancelledWalkTest, GivesItsMemoryBack) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' allocator keeps freed memory";
#endif
  std::atomic<bool> holding = false;
  EnumerationController controller([&](const QStringList& paths, const CancelFlag* cancel, FoundCount*,
                                       const QString&, const FirstPictures&, WalkSummary*) {
    QStringList found;
    if (paths.first() != QStringLiteral("/big")) return found;
    for (int i = 0; i < 2'000'000 && !cancel->load(); ++i)
      found.append(QStringLiteral("/pictures/of/a/big/tree/%1/IMG_%2.jpg").arg(i / 1000).arg(i));
    holding = true;
    while (!cancel->load()) std::this_thread::yield();
    return found;
  });
  const qint64 before = residentMegabytes();
  controller.openPaths({QStringLiteral("/big")});
  ASSERT_TRUE(test::waitFor([&] { return holding.load(); }, 60'000));
  ASSERT_GT(residentMegabytes(), before + 150) << "the walk should hold its paths";
  controller.openPaths({QStringLiteral("/small")});
  ASSERT_TRUE(test::waitFor([&] { return !controller.isListing(); }, 60'000));
  EXPECT_LT(residentMegabytes(), before + 50);
}

TEST(ListingCountTest, CountMatchesEveryPictureTheWalkAppends) {
  test::Sandbox box;
  for (const char* name : {"a/1.jpg", "a/2.png", "a/skip.txt", "a/b/3.gif", "a/b/c/4.JPG", "d/5.jpg"})
    box.write(QString::fromUtf8(name));
  FoundCount found{0};
  const QStringList pictures = listPictures({box.filePath("a"), box.filePath("d")}, nullptr, &found);
  EXPECT_EQ(pictures.size(), 5);
  EXPECT_EQ(found.load(), 5);
}

}  // namespace
}  // namespace pimrose

namespace pimrose {
namespace {

// The "more formats" box: plugin types count (any case) only while it is on, and turning it on or
// off lists the opened folder again.
TEST_F(ControllerFixture, MoreFormatsListPluginTypesOnlyWhileOn) {
  for (const char* name : {"a.jpg", "b.WEBP", "c.tif", "d.Bmp", "e.tiff", "f.txt", "g.webp.txt"})
    box.write(QStringLiteral("p/") + QString::fromLatin1(name));
  controller.openDropped({box.filePath("p")});
  ASSERT_TRUE(waitIdle());
  EXPECT_EQ(controller.pictureList(), QStringList{box.filePath("p/a.jpg")});

  controller.setMoreFormats(true);
  ASSERT_TRUE(waitIdle());
  ASSERT_EQ(replaced.size(), 2);
  const QStringList expected = {box.filePath("p/d.Bmp"), box.filePath("p/e.tiff"), box.filePath("p/c.tif"),
                                box.filePath("p/b.WEBP"), box.filePath("p/a.jpg")};
  EXPECT_EQ(controller.pictureList(), expected);

  controller.setMoreFormats(false);
  ASSERT_TRUE(waitIdle());
  ASSERT_EQ(replaced.size(), 3);
  EXPECT_EQ(controller.pictureList(), QStringList{box.filePath("p/a.jpg")});
}

TEST(WritingSystemsTest, OneCharacterOfEachWritingSystemBeyondAsciiInTheFileNames) {
  const std::pair<QStringList, QString> cases[] = {
      {{"/a/b.jpg", "/中文/照片/plain.png"}, ""},  // folder names are not shown in the list
      {{"/p/中文.jpg", "/p/日本.jpg"}, "中"},
      {{"/p/αβ.jpg", "/p/щ.jpg", "/p/é.jpg", "/p/ё.gif"}, "αщé"},
      {{"/p/😀😁.jpg", "/p/★.png", "/p/☆.png"}, "😀★"},  // no script: by block
  };
  for (const auto& [paths, expected] : cases)
    EXPECT_EQ(writingSystemSamples(paths), expected) << paths.join(u' ').toStdString();
  QStringList many;
  for (char32_t c = 0x4E00; c < 0x4E00 + 2000; ++c)
    many.append(QStringLiteral("/p/") + QString::fromUcs4(&c, 1));
  EXPECT_EQ(writingSystemSamples(many).size(), 1);  // Han only, whatever the count
}

// A list whose names need fonts the list has not used yet waits, still listing, until the list's
// font is ready for them; a list of ASCII names does not ask.
TEST_F(ControllerFixture, ListWaitsUntilItsNamesAreReady) {
  QString asked;
  std::function<void()> ready;
  controller.setNamePreparer([&](const QString& samples, std::function<void()> done) {
    asked = samples;
    ready = std::move(done);
  });
  box.write("plain/a.jpg");
  controller.openDropped({box.filePath("plain")});
  ASSERT_TRUE(waitIdle());
  EXPECT_EQ(replaced.size(), 1);
  EXPECT_FALSE(ready);

  box.write("names/Ωmega.jpg");
  controller.openDropped({box.filePath("names")});
  ASSERT_TRUE(test::waitFor([&] { return bool(ready); }));
  EXPECT_EQ(asked, "Ω");
  QCoreApplication::processEvents();
  EXPECT_TRUE(controller.isListing());
  EXPECT_EQ(replaced.size(), 1);
  std::exchange(ready, {})();
  EXPECT_FALSE(controller.isListing());
  ASSERT_EQ(replaced.size(), 2);
  EXPECT_EQ(lastList().pictures, QStringList{box.filePath("names/Ωmega.jpg")});
}

TEST(PictureTypesTest, ExtraTypesFollowTheInstalledPlugins) {
  const std::pair<QList<QByteArray>, QString> cases[] = {
      {{}, ""},
      {{"png", "jpeg"}, ""},
      {{"bmp", "webp"}, "webp|bmp"},
      {{"tiff"}, "tif|tiff"},
      {{"heif", "avif", "tiff", "bmp", "webp"}, "webp|tif|tiff|bmp|avif|heic|heif"},
      {{"jxl", "webp"}, "webp|jxl"},
  };
  for (const auto& [readable, expected] : cases) EXPECT_EQ(extraPictureTypes(readable), expected);
  EXPECT_EQ(pictureTypes(false), "jpg|png|gif");
  EXPECT_TRUE(pictureTypes(true).startsWith("jpg|png|gif|"));
  // Our own decoders read these whatever Qt's plugins are (Debian's libheif decodes HEVC and AV1).
  EXPECT_TRUE(pictureTypes(true).endsWith("|avif|heic|heif|jxl"));
}

}  // namespace
}  // namespace pimrose
