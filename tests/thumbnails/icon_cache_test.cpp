#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>
#include <thread>

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>

#include "codecs/probe_counts.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "thumbnails/cached_thumbnail.h"
#include "thumbnails/icon_cache.h"
#include "thumbnails/icon_cache_trim.h"

namespace pimrose {
namespace {

using test::flat;

QColor centreOf(const QImage& image) {
  return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

bool near(QColor a, QColor b) {
  return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
         std::abs(a.blue() - b.blue()) < 24;
}

void setMTime(const QString& path, qint64 seconds) {
  const timespec times[2] = {{time_t(seconds), 0}, {time_t(seconds), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// Runs a trim at once, so that nothing runs on after a test.
void inline_(const std::function<void()>& trim) {
  trim();
}

// A red 800 x 600 picture; at icon size 150 its icon is 150 x 112.
struct IconFixture : ::testing::Test {
  test::Sandbox sandbox;
  ThumbnailCache shared{sandbox.filePath(QStringLiteral("cache/thumbnails"))};
  IconCache icons{sandbox.filePath(QStringLiteral("cache/pimrose/icons")), kIconCacheLimitBytes, inline_};
  QString path;
  FileStamp stamp;

  void SetUp() override {
    sandbox.makeFolder(QStringLiteral("cache"));
    path = sandbox.write(QStringLiteral("p/red.jpg"), test::jpegOf(flat({800, 600}, Qt::red)));
    stamp = ThumbnailCache::stampOf(path).value_or(FileStamp{});
  }
  LoadedThumbnail load(bool write = true, bool fast = false) {
    return loadThumbnailCached(path, 150, fast, shared, EntryWrite::Now, EarlyPreview::No, 1.0,
                               IconKeeping{&icons, write});
  }
};

TEST_F(IconFixture, TheIconIsKeptAtItsSizeAndServesAloneFromThen) {
  EXPECT_FALSE(QFileInfo::exists(icons.entryPath(path, 150)));
  ASSERT_FALSE(load(false).image.isNull());
  EXPECT_FALSE(QFileInfo::exists(icons.entryPath(path, 150)));  // not asked to write
  ASSERT_FALSE(load().image.isNull());                          // from the shared entry
  const QImage kept(icons.entryPath(path, 150), "png");
  EXPECT_EQ(kept.size(), QSize(150, 112));
  EXPECT_EQ(kept.text(QStringLiteral("Thumb::Image::Width")), QStringLiteral("800"));
  EXPECT_EQ(QDir(icons.root() + QStringLiteral("/150")).entryList(QDir::Files).size(), 1);

  // A blue icon of the same stamp, a green shared entry: the icon alone serves.
  ASSERT_TRUE(icons.store(path, stamp, 150, flat({150, 112}, Qt::blue), {800, 600}));
  ASSERT_TRUE(shared.store(path, stamp, 256, flat({256, 192}, Qt::green), {800, 600}));
  threadProbeCounts() = {};
  const LoadedThumbnail served = load();
  EXPECT_EQ(threadProbeCounts().opens, 1);  // the icon's entry: neither the shared one nor the picture
  EXPECT_EQ(served.image.size(), QSize(150, 112));
  EXPECT_EQ(served.height, 112);
  EXPECT_EQ(served.sourceSize, QSize(800, 600));
  EXPECT_TRUE(near(centreOf(served.image), Qt::blue));
}

// Any entry that is not exactly this icon of this version of the picture is no entry: the shared
// entry (green) serves, or without one the picture (red).
TEST_F(IconFixture, AnEntryThatIsNotThisIconFallsBack) {
  struct Case {
    const char* what;
    qint64 mtimeShift, sizeShift;
    QSize icon, picture;
    int cut;  // bytes cut off the end of the entry; -1: its pixel stream garbled instead
    bool withShared;
  } const cases[] = {
      {"the picture changed (time)", 1, 0, {150, 112}, {800, 600}, 0, true},
      {"the picture changed (size)", 0, 1, {150, 112}, {800, 600}, 0, false},
      {"cut short", 0, 0, {150, 112}, {800, 600}, 20, true},
      {"garbled pixels", 0, 0, {150, 112}, {800, 600}, -1, false},
      {"another icon size", 0, 0, {140, 105}, {800, 600}, 0, true},
      {"another picture size", 0, 0, {150, 112}, {800, 800}, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(QDir(sandbox.filePath(QStringLiteral("cache"))).removeRecursively());
    sandbox.makeFolder(QStringLiteral("cache"));
    const FileStamp other{stamp.mtime + c.mtimeShift, stamp.size + c.sizeShift};
    ASSERT_TRUE(icons.store(path, other, 150, flat(c.icon, Qt::blue), c.picture));
    if (c.withShared) {
      ASSERT_TRUE(shared.store(path, stamp, 256, flat({256, 192}, Qt::green), {800, 600}));
    }
    QFile entry(icons.entryPath(path, 150));
    ASSERT_TRUE(entry.open(QIODevice::ReadWrite));
    QByteArray bytes = entry.readAll();
    if (c.cut > 0) bytes.chop(c.cut);
    if (c.cut < 0) bytes.replace(bytes.indexOf("IDAT") + 8, 40, QByteArray(40, '\x55'));
    ASSERT_TRUE(entry.resize(0) && entry.seek(0) && entry.write(bytes) == bytes.size());
    entry.close();
    const LoadedThumbnail loaded = load(false);
    EXPECT_TRUE(loaded.error.isEmpty());
    EXPECT_EQ(loaded.image.size(), QSize(150, 112));
    EXPECT_TRUE(near(centreOf(loaded.image), c.withShared ? QColor(Qt::green) : QColor(Qt::red)));
  }
  // Larger than its width allows: never written, never read.
  EXPECT_FALSE(icons.store(path, stamp, 150, flat({151, 112}, Qt::blue), {800, 600}));
  EXPECT_FALSE(icons.store(path, stamp, 150, flat({150, 302}, Qt::blue), {800, 600}));
  EXPECT_TRUE(icons.store(path, stamp, 151, flat({151, 112}, Qt::blue), {800, 600}));
  QFile::remove(icons.entryPath(path, 150));
  ASSERT_TRUE(QFile::rename(icons.entryPath(path, 151), icons.entryPath(path, 150)));
  EXPECT_FALSE(icons.find(path, stamp, 150));
}

TEST_F(IconFixture, NoIconIsKeptFromAnEmbeddedPreview) {
  const QByteArray preview = test::jpegOf(flat({160, 120}, Qt::blue));
  path = sandbox.write(QStringLiteral("camera.jpg"),
                       test::withExif(test::jpegOf(flat({800, 600}, Qt::red)), 1, preview));
  // Fast loading takes the preview as the icon itself; early loading shows it first.
  EXPECT_TRUE(near(centreOf(load(true, true).image), Qt::blue));
  const LoadedThumbnail early = loadThumbnailCached(path, 150, false, shared, EntryWrite::Now,
                                                    EarlyPreview::Yes, 1.0, IconKeeping{&icons, true});
  ASSERT_TRUE(early.provisional);
  EXPECT_FALSE(QFileInfo::exists(icons.entryPath(path, 150)));
  EXPECT_TRUE(near(centreOf(early.makeFinal().image), Qt::red));
  EXPECT_TRUE(near(centreOf(QImage(icons.entryPath(path, 150), "png")), Qt::red));
}

TEST_F(IconFixture, PicturesInsideTheIconFolderAreNotKept) {
  const QString inside =
      sandbox.write(QStringLiteral("cache/pimrose/icons/x.jpg"), test::jpegOf(flat({800, 600}, Qt::red)));
  path = inside;
  ASSERT_FALSE(load().image.isNull());
  EXPECT_FALSE(QFileInfo::exists(icons.entryPath(inside, 150)));
}

qint64 folderBytes(const QString& root) {
  qint64 total = 0;
  for (const QString& width : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    for (const QFileInfo& file : QDir(root + u'/' + width).entryInfoList(QDir::Files)) total += file.size();
  return total;
}

TEST(IconCacheBound, TheLeastRecentlyUsedGoFirstAndNothingElse) {
  test::Sandbox sandbox;
  const QString root = sandbox.filePath(QStringLiteral("icons"));
  const QByteArray kilobyte(1024, 'x');
  // Ten entries of 1 KiB in two width folders, the oldest first.
  QStringList entries;
  for (int i = 0; i < 10; ++i) {
    const QString name = QStringLiteral("%1/%2.png").arg(i % 2 ? 150 : 270).arg(i, 32, 10, QLatin1Char('0'));
    entries.append(sandbox.write(QStringLiteral("icons/") + name, kilobyte));
    setMTime(entries.last(), 1'700'000'000 + i);
  }
  setMTime(entries[0], 1'800'000'000);  // the oldest, used since
  // Files that are not entries, inside the folder and out, and a width folder that is a link.
  const QStringList others{
      sandbox.write(QStringLiteral("icons/notes.png"), kilobyte),
      sandbox.write(QStringLiteral("icons/270/notes.txt"), kilobyte),
      sandbox.write(QStringLiteral("elsewhere/") + QString(32, u'0') + QStringLiteral(".png"), kilobyte)};
  for (const QString& other : others) setMTime(other, 1'000'000'000);
  ASSERT_EQ(::symlink(QFile::encodeName(sandbox.filePath(QStringLiteral("elsewhere"))).constData(),
                      QFile::encodeName(root + QStringLiteral("/512")).constData()),
            0);

  EXPECT_EQ(trimIconFolder(root, 20 * 1024, 5 * 1024), 10 * 1024);  // under the bound: nothing goes
  EXPECT_EQ(trimIconFolder(root, 8 * 1024, 6 * 1024), 6 * 1024);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(QFileInfo::exists(entries[i]), i == 0 || i >= 5) << i;
  for (const QString& other : others) EXPECT_TRUE(QFileInfo::exists(other)) << other.toStdString();
}

TEST(IconCacheBound, WritesPastTheBoundAreTrimmedUnderIt) {
  test::Sandbox sandbox;
  sandbox.makeFolder(QStringLiteral("cache"));
  const QString root = sandbox.filePath(QStringLiteral("cache/pimrose/icons"));
  const IconCache sized(root, kIconCacheLimitBytes, inline_);
  const FileStamp stamp{1, 1};
  ASSERT_TRUE(sized.store(QStringLiteral("/p/0.jpg"), stamp, 150, flat({150, 112}, Qt::red), {800, 600}));
  const qint64 entry = QFileInfo(sized.entryPath(QStringLiteral("/p/0.jpg"), 150)).size();
  const qint64 limit = entry * 4 + entry / 2;
  const IconCache icons(root, limit, inline_);
  for (int i = 1; i < 12; ++i) {
    const QString picture = QStringLiteral("/p/%1.jpg").arg(i);
    ASSERT_TRUE(icons.store(picture, stamp, 150, flat({150, 112}, Qt::red), {800, 600}));
    EXPECT_LE(folderBytes(root), limit) << i;
  }
}

// Two loaders writing at once, the trims on the cache's own thread: the folder ends under the bound
// once the cache has gone (the last copy waits for a trim still running).
TEST(IconCacheBound, LoaderThreadsWritingTogetherStayUnderIt) {
  test::Sandbox sandbox;
  sandbox.makeFolder(QStringLiteral("cache"));
  const QString root = sandbox.filePath(QStringLiteral("cache/pimrose/icons"));
  const QImage icon = test::detailedPicture(150, 112, 7);  // about 50 KB an entry
  const qint64 limit = 500 * 1024;
  {
    const IconCache icons(root, limit);
    const auto write = [&](int first) {
      for (int i = first; i < first + 40; ++i)
        icons.store(QStringLiteral("/p/%1.jpg").arg(i), FileStamp{1, 1}, 150, icon, {800, 600});
    };
    ASSERT_GT(encodeEntry(icon, "file:///p/0.jpg", FileStamp{1, 1}, {800, 600}).size() * 40, 2 * limit);
    std::thread other(write, 100);
    write(200);
    other.join();
    icons.store(QStringLiteral("/p/last.jpg"), FileStamp{1, 1}, 150, icon, {800, 600});
  }
  EXPECT_LE(trimIconFolder(root, std::numeric_limits<qint64>::max(), 0), limit);
}

}  // namespace
}  // namespace pimrose
