#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>

#include "pimrose_version.h"
#include "support/loading_signal_recorder.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "support/wait_for.h"
#include "thumbnails/cached_thumbnail.h"
#include "thumbnails/icon_size.h"
#include "thumbnails/thumbnail_loader.h"

namespace pimrose {
namespace {

int modeOf(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

void setMTime(const QString& path, qint64 seconds) {
  const timeval times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), times), 0);
}

QImage flat(QSize size, QColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

bool looksLike(const QImage& image, QColor colour) {
  const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
  return std::abs(centre.red() - colour.red()) < 24 && std::abs(centre.green() - colour.green()) < 24 &&
         std::abs(centre.blue() - colour.blue()) < 24;
}

struct CacheFixture : ::testing::Test {
  test::Sandbox sandbox;
  ThumbnailCache cache{sandbox.filePath(QStringLiteral("cache/thumbnails"))};
  FileStamp stampOf(const QString& path) { return ThumbnailCache::stampOf(path).value_or(FileStamp{}); }

  void SetUp() override { sandbox.makeFolder(QStringLiteral("cache")); }
  // An 800 x 600 picture of one colour: what the thumbnail shows tells where it came from.
  QString picture(const QString& name, QColor colour) {
    return sandbox.write(name, test::jpegOf(flat({800, 600}, colour)));
  }
};

TEST(ThumbnailCacheNames, UrisAreEscapedByteByByteAndNameTheEntry) {
  struct Case {
    const char16_t* path;
    const char* uri;
  } const cases[] = {
      {u"/home/jens/photos/me.png", "file:///home/jens/photos/me.png"},
      {u"/a b/c#d%e;f?.jpg", "file:///a%20b/c%23d%25e%3Bf%3F.jpg"},
      {u"/keep/-._~!$&'()*+,=:@.jpg", "file:///keep/-._~!$&'()*+,=:@.jpg"},
      {u"/x/[1]{2}^`|\\\".gif", "file:///x/%5B1%5D%7B2%7D%5E%60%7C%5C%22.gif"},
      {u"/图片/猫.png", "file:///%E5%9B%BE%E7%89%87/%E7%8C%AB.png"},
      {u"/x/./y//z.png", "file:///x/y/z.png"},
  };
  for (const Case& c : cases) EXPECT_EQ(ThumbnailCache::uriOf(QString::fromUtf16(c.path)), c.uri);
  const ThumbnailCache cache(QStringLiteral("/c/thumbnails"));
  EXPECT_EQ(cache.entryPath(QStringLiteral("/home/jens/photos/me.png"), 128),
            QStringLiteral("/c/thumbnails/normal/c6ee772d9e49320e97ec29a7eb5b1697.png"));
  EXPECT_EQ(cache.entryPath(QStringLiteral("/home/jens/photos/me.png"), 1024),
            QStringLiteral("/c/thumbnails/xx-large/c6ee772d9e49320e97ec29a7eb5b1697.png"));
  EXPECT_EQ(cache.failurePath(QStringLiteral("/home/jens/photos/me.png")),
            QStringLiteral("/c/thumbnails/fail/pimrose-") + QLatin1String(kPimroseVersion) +
                QStringLiteral("/c6ee772d9e49320e97ec29a7eb5b1697.png"));
}

TEST(ThumbnailCacheNames, TheSmallestFolderThatCoversTheIcon) {
  const std::pair<QSize, int> cases[] = {{{128, 96}, 128},  {{150, 112}, 256}, {{150, 200}, 256},
                                         {{270, 202}, 512}, {{270, 360}, 512}, {{400, 1000}, 1024},
                                         {{1025, 10}, 0}};
  for (const auto& [need, side] : cases) EXPECT_EQ(ThumbnailCache::folderSideFor(need), side) << need.width();
}

TEST(ThumbnailCacheNames, NoRootOrAPictureInsideTheCacheIsNotCovered) {
  EXPECT_FALSE(ThumbnailCache(QString()).covers(QStringLiteral("/p/a.jpg")));
  const ThumbnailCache cache(QStringLiteral("/c/thumbnails/"));
  EXPECT_TRUE(cache.covers(QStringLiteral("/p/a.jpg")));
  EXPECT_TRUE(cache.covers(QStringLiteral("/c/thumbnails-old/a.png")));
  EXPECT_FALSE(cache.covers(QStringLiteral("/c/thumbnails/large/0123.png")));
  EXPECT_FALSE(cache.covers(QStringLiteral("/c/x/../thumbnails/normal/a.png")));
  EXPECT_FALSE(cache.covers(QStringLiteral("relative/a.png")));
}

TEST_F(CacheFixture, AFirstLoadWritesAPrivateEntryAndTheSecondUsesIt) {
  const QString path = picture(QStringLiteral("p/red.jpg"), Qt::red);
  const LoadedThumbnail first = loadThumbnailCached(path, 150, false, cache);
  ASSERT_FALSE(first.image.isNull()) << first.error.toStdString();
  EXPECT_EQ(first.image.size(), QSize(150, 112));
  EXPECT_EQ(first.height, 112);
  EXPECT_TRUE(looksLike(first.image, Qt::red));

  const QString entry = cache.entryPath(path, 256);
  const QImage written(entry, "png");
  EXPECT_EQ(written.size(), QSize(256, 192));  // the folder's size
  EXPECT_EQ(written.text(QStringLiteral("Thumb::URI")).toLatin1(), ThumbnailCache::uriOf(path));
  EXPECT_EQ(written.text(QStringLiteral("Thumb::MTime")).toLongLong(), stampOf(path).mtime);
  EXPECT_EQ(written.text(QStringLiteral("Thumb::Size")).toLongLong(), stampOf(path).size);
  EXPECT_EQ(modeOf(entry), 0600);
  EXPECT_EQ(modeOf(cache.root()), 0700);
  EXPECT_EQ(modeOf(cache.root() + QStringLiteral("/large")), 0700);
  EXPECT_EQ(QDir(cache.root() + QStringLiteral("/large")).entryList(QDir::Files).size(),
            1);  // no temporaries

  // An entry of another colour with the same stamp proves the second load reads the cache.
  ASSERT_TRUE(cache.store(path, stampOf(path), 256, flat({200, 150}, Qt::green)));
  const LoadedThumbnail second = loadThumbnailCached(path, 150, false, cache);
  EXPECT_EQ(second.image.size(), QSize(150, 112));
  EXPECT_EQ(second.height, 112);
  EXPECT_EQ(second.sourceSize, QSize(800, 600));
  EXPECT_TRUE(looksLike(second.image, Qt::green));
}

TEST_F(CacheFixture, AnEntryLeftForAfterDeliveryIsWrittenWhenThatRunsAndMatchesAnEntryWrittenAtOnce) {
  const QString now = picture(QStringLiteral("now/red.jpg"), Qt::red);
  const QString later = picture(QStringLiteral("later/red.jpg"), Qt::red);
  const LoadedThumbnail direct = loadThumbnailCached(now, 270, false, cache);
  const LoadedThumbnail deferred = loadThumbnailCached(later, 270, false, cache, EntryWrite::AfterDelivery);
  EXPECT_FALSE(direct.afterDelivery);
  ASSERT_TRUE(deferred.afterDelivery);
  EXPECT_EQ(deferred.image, direct.image);  // the icon does not depend on when the entry is written
  EXPECT_FALSE(QFileInfo::exists(cache.entryPath(later, 512)));

  deferred.afterDelivery();
  const QImage early(cache.entryPath(now, 512), "png");
  const QImage written(cache.entryPath(later, 512), "png");
  ASSERT_FALSE(written.isNull());
  EXPECT_EQ(written.size(), early.size());
  EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), early.convertToFormat(QImage::Format_RGB32));
  EXPECT_EQ(written.text(QStringLiteral("Thumb::MTime")).toLongLong(), stampOf(later).mtime);
  EXPECT_EQ(modeOf(cache.entryPath(later, 512)), 0600);
  EXPECT_TRUE(looksLike(loadThumbnailCached(later, 270, false, cache).image, Qt::red));
}

TEST_F(CacheFixture, TheEntryFillsTheSquareOfTheFolderThatCoversTheIcon) {
  struct Case {
    QSize picture;
    int iconSize, side;
    QSize entry;
  } const cases[] = {
      {{2400, 1800}, 150, 256, {256, 192}},   // decoded at 300 x 225, scaled into the square
      {{600, 800}, 150, 256, {192, 256}},     // portrait: the height decides the folder
      {{3000, 2000}, 270, 512, {512, 341}},   // decoded at 750 x 500: a 375 x 250 decode is too coarse
      {{1200, 900}, 600, 1024, {1024, 768}},  // the largest icon
  };
  for (const Case& c : cases) {
    const QString path = picture(QStringLiteral("%1x%2.jpg").arg(c.picture.width()).arg(c.iconSize), Qt::red);
    sandbox.write(QFileInfo(path).fileName(), test::jpegOf(flat(c.picture, Qt::red)));
    ASSERT_FALSE(loadThumbnailCached(path, c.iconSize, false, cache).image.isNull());
    EXPECT_EQ(QImageReader(cache.entryPath(path, c.side)).size(), c.entry) << c.picture.width();
  }
}

TEST_F(CacheFixture, OnlyEntriesThatMatchThePictureAndCoverTheIconAreUsed) {
  struct Case {
    const char* what;
    qint64 mtimeShift, sizeShift;
    bool withSize;
    int side;
    QSize entry;
    bool used;
  } const cases[] = {
      {"matching", 0, 0, true, 256, {256, 192}, true},
      {"without Thumb::Size", 0, 0, false, 256, {256, 192}, true},
      {"other mtime", 1, 0, true, 256, {256, 192}, false},
      {"other size", 0, 1, true, 256, {256, 192}, false},
      {"too small for the icon", 0, 0, true, 128, {128, 96}, false},
      {"a larger folder", 0, 0, true, 1024, {800, 600}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::Sandbox own;
    const ThumbnailCache cache(own.filePath(QStringLiteral("thumbnails")));
    const QString path = own.write(QStringLiteral("p.jpg"), test::jpegOf(flat({800, 600}, Qt::red)));
    FileStamp stamp = stampOf(path);
    stamp.mtime += c.mtimeShift;
    stamp.size += c.sizeShift;
    QImage entry = flat(c.entry, Qt::blue);
    ASSERT_TRUE(cache.store(path, stamp, c.side, entry));
    if (!c.withSize) {
      // Rewrite the entry with only the two chunks every program writes.
      entry.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(ThumbnailCache::uriOf(path)));
      entry.setText(QStringLiteral("Thumb::MTime"), QString::number(stamp.mtime));
      ASSERT_TRUE(entry.save(cache.entryPath(path, c.side), "png"));
    }
    const LoadedThumbnail loaded = loadThumbnailCached(path, 150, false, cache);
    EXPECT_EQ(looksLike(loaded.image, Qt::blue), c.used);
    EXPECT_EQ(looksLike(loaded.image, Qt::red), !c.used);
  }
}

TEST_F(CacheFixture, ASmallPictureKeptWholeInASmallFolderServesALargerIcon) {
  const QString path = sandbox.write(QStringLiteral("small.png"), test::pngOf(flat({100, 80}, Qt::red)));
  EXPECT_FALSE(loadThumbnailCached(path, 150, false, cache).image.isNull());
  EXPECT_EQ(QImageReader(cache.entryPath(path, 256)).size(), QSize(100, 80));
  ASSERT_TRUE(QFile::remove(cache.entryPath(path, 256)));
  ASSERT_TRUE(cache.store(path, stampOf(path), 128, flat({100, 80}, Qt::green)));
  const LoadedThumbnail loaded = loadThumbnailCached(path, 150, false, cache);
  EXPECT_EQ(loaded.image.size(), QSize(150, 120));
  EXPECT_TRUE(looksLike(loaded.image, Qt::green));
}

TEST_F(CacheFixture, ABrokenPictureIsRememberedUntilItChanges) {
  const QString path = sandbox.write(QStringLiteral("broken.jpg"), QByteArray("\xFF\xD8\xFF garbage", 12));
  const LoadedThumbnail first = loadThumbnailCached(path, 150, false, cache);
  EXPECT_TRUE(first.image.isNull());
  EXPECT_FALSE(first.error.isEmpty());
  EXPECT_TRUE(QFileInfo::exists(cache.failurePath(path)));
  EXPECT_EQ(modeOf(cache.failurePath(path)), 0600);
  EXPECT_TRUE(cache.hasFailure(path, stampOf(path)));
  EXPECT_TRUE(loadThumbnailCached(path, 150, false, cache).error.startsWith(QStringLiteral("failed before")));

  // The same name, now a picture, and a newer time: decoded again.
  sandbox.write(QStringLiteral("broken.jpg"), test::jpegOf(flat({800, 600}, Qt::red)));
  setMTime(path, stampOf(path).mtime + 10);
  EXPECT_FALSE(cache.hasFailure(path, stampOf(path)));
  EXPECT_TRUE(looksLike(loadThumbnailCached(path, 150, false, cache).image, Qt::red));
}

TEST_F(CacheFixture, OnlyThumbnailsFromThePicturesOwnPixelsAreWritten) {
  const QByteArray preview = test::jpegOf(flat({160, 120}, Qt::blue));
  const QString path = sandbox.write(QStringLiteral("camera.jpg"),
                                     test::withExif(test::jpegOf(flat({800, 600}, Qt::red)), 1, preview));
  // Fast loading may show the embedded preview, which must not become everybody's thumbnail.
  EXPECT_TRUE(looksLike(loadThumbnailCached(path, 150, true, cache).image, Qt::blue));
  EXPECT_FALSE(QFileInfo::exists(cache.entryPath(path, 256)));
  const LoadedThumbnail exact = loadThumbnailCached(path, 150, false, cache);
  EXPECT_TRUE(looksLike(exact.image, Qt::red));
  EXPECT_TRUE(looksLike(QImage(cache.entryPath(path, 256)), Qt::red));
}

TEST_F(CacheFixture, WithoutAUsableCacheFolderTheThumbnailIsMadeAsUsual) {
  const QString path = picture(QStringLiteral("p.jpg"), Qt::red);
  const QString file = sandbox.write(QStringLiteral("plain-file"), "x");
  const ThumbnailCache unusable[] = {ThumbnailCache(sandbox.filePath(QStringLiteral("missing/thumbnails"))),
                                     ThumbnailCache(file + QStringLiteral("/thumbnails")),
                                     ThumbnailCache(QString())};
  for (const ThumbnailCache& broken : unusable) {
    const LoadedThumbnail loaded = loadThumbnailCached(path, 150, false, broken);
    EXPECT_TRUE(looksLike(loaded.image, Qt::red)) << broken.root().toStdString();
    EXPECT_TRUE(loaded.error.isEmpty());
  }
  EXPECT_FALSE(QFileInfo::exists(sandbox.filePath(QStringLiteral("missing"))));
}

TEST_F(CacheFixture, AReadOnlyCacheFolderIsLeftAlone) {
  const QString path = picture(QStringLiteral("p.jpg"), Qt::red);
  if (::geteuid() == 0) GTEST_SKIP() << "a read-only folder does not stop root";
  sandbox.makeFolder(QStringLiteral("readonly/thumbnails"));
  ::chmod(QFile::encodeName(sandbox.filePath(QStringLiteral("readonly/thumbnails"))).constData(), 0500);
  const ThumbnailCache readOnly(sandbox.filePath(QStringLiteral("readonly/thumbnails")));
  EXPECT_TRUE(looksLike(loadThumbnailCached(path, 150, false, readOnly).image, Qt::red));
}

TEST_F(CacheFixture, ARelativePathIsCachedUnderItsAbsoluteName) {
  const QString path = picture(QStringLiteral("rel/p.jpg"), Qt::red);
  const QString saved = QDir::currentPath();
  QDir::setCurrent(sandbox.path());
  const LoadedThumbnail loaded = loadThumbnailCached(QStringLiteral("rel/p.jpg"), 150, false, cache);
  QDir::setCurrent(saved);
  EXPECT_TRUE(looksLike(loaded.image, Qt::red));
  EXPECT_TRUE(QFileInfo::exists(cache.entryPath(path, 256)));
}

TEST_F(CacheFixture, PicturesInsideTheCacheFolderAreNotCached) {
  const QString path = picture(QStringLiteral("cache/thumbnails/large/other.jpg"), Qt::red);
  EXPECT_TRUE(looksLike(loadThumbnailCached(path, 150, false, cache).image, Qt::red));
  EXPECT_EQ(QDir(cache.root() + QStringLiteral("/large")).entryList(QDir::Files).size(), 1);
}

TEST_F(CacheFixture, EachRequestFollowsTheCacheBoxAsItIsThen) {
  const QByteArray saved = qgetenv("XDG_CACHE_HOME");
  qputenv("XDG_CACHE_HOME", QFile::encodeName(sandbox.filePath(QStringLiteral("cache"))));
  ThumbnailLoader loader;
  if (saved.isNull())
    qunsetenv("XDG_CACHE_HOME");
  else
    qputenv("XDG_CACHE_HOME", saved);
  test::SignalRecorder<ThumbnailDelivery> ready(&loader, &ThumbnailLoader::thumbnailReady);
  const QStringList paths = {picture(QStringLiteral("a.jpg"), Qt::red),
                             picture(QStringLiteral("b.jpg"), Qt::red)};
  loader.setList(ListId::Files, paths, 1);

  loader.setThumbnailCache(false);
  loader.loadIcon(ListId::Files, 0);
  ASSERT_TRUE(test::waitFor([&] { return ready.size() == 1; }));
  loader.setThumbnailCache(true);
  loader.loadIcon(ListId::Files, 1);
  ASSERT_TRUE(test::waitFor([&] { return ready.size() == 2; }));
  // The entry is written once the icon has been delivered, not before.
  EXPECT_TRUE(test::waitFor([&] { return QFileInfo::exists(cache.entryPath(paths[1], 256)); }));
  EXPECT_FALSE(QFileInfo::exists(cache.entryPath(paths[0], 256)));
}

// An entry claims to fit its folder; one that does not (a few hundred kilobytes may claim 100
// megapixels, 400 MB decoded) is passed over by its header, never decoded.
TEST_F(CacheFixture, AnEntryLargerThanItsFolderIsPassedOver) {
  const QString path = picture(QStringLiteral("p.jpg"), Qt::red);
  QImage oversized = flat({1600, 1200}, Qt::blue);
  oversized.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(ThumbnailCache::uriOf(path)));
  oversized.setText(QStringLiteral("Thumb::MTime"), QString::number(stampOf(path).mtime));
  QDir().mkpath(cache.root() + QStringLiteral("/large"));
  ASSERT_TRUE(oversized.save(cache.entryPath(path, 256), "png"));
  EXPECT_TRUE(looksLike(loadThumbnailCached(path, 150, false, cache).image, Qt::red));
}

// Written by other programs and read by them: tumbler's Thumb::MTime with a fraction, and the folder
// each entry goes to. A ctest entry of its own runs these.
using CacheNeighbours = CacheFixture;

TEST_F(CacheNeighbours, AnEntryWithAFractionalMTimeIsUsedAsItsWholeSeconds) {
  const QString path = picture(QStringLiteral("tumbler.jpg"), Qt::red);
  const qint64 seconds = stampOf(path).mtime;
  const struct {
    QString mtime;
    bool used;
  } cases[] = {
      {QStringLiteral("%1.500000").arg(seconds), true},  // as tumbler writes it
      {QStringLiteral("%1.0").arg(seconds), true},      {QString::number(seconds), true},
      {QStringLiteral("%1.5x").arg(seconds), false},    {QStringLiteral("%1.500000").arg(seconds + 1), false},
  };
  for (const auto& c : cases) {
    QDir(cache.root()).removeRecursively();
    QDir().mkpath(cache.root() + QStringLiteral("/large"));
    QImage entry = flat({256, 192}, Qt::blue);
    entry.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(ThumbnailCache::uriOf(path)));
    entry.setText(QStringLiteral("Thumb::MTime"), c.mtime);
    ASSERT_TRUE(entry.save(cache.entryPath(path, 256), "png"));
    EXPECT_EQ(looksLike(loadThumbnailCached(path, 150, false, cache).image, Qt::blue), c.used)
        << c.mtime.toStdString();
    // A used entry is left as it is: no second one is made beside it or over it.
    EXPECT_EQ(QImage(cache.entryPath(path, 256)).text(QStringLiteral("Thumb::MTime")) == c.mtime, c.used);
    EXPECT_FALSE(QFileInfo::exists(cache.entryPath(path, 512)));
  }
}

TEST_F(CacheNeighbours, EachEntryGoesToTheSmallestFolderThatCoversTheIconInDevicePixels) {
  const struct {
    QSize picture;
    int iconSize;
    double ratio;
    int side;  // 0: no folder covers the icon, nothing is written
    QSize entry;
  } cases[] = {
      {{800, 600}, 100, 1.0, 128, {128, 96}},   {{800, 600}, 150, 1.0, 256, {256, 192}},
      {{800, 600}, 150, 2.0, 512, {512, 384}},  {{1600, 1200}, 270, 1.0, 512, {512, 384}},
      {{300, 1200}, 150, 1.0, 512, {128, 512}},  // the icon is 75 x 300
      {{100, 80}, 150, 1.0, 256, {100, 80}},     // a small picture is kept whole
      {{1600, 1200}, 600, 2.0, 0, {}},           // 1200 device pixels wide
  };
  int n = 0;
  for (const auto& c : cases) {
    const QString name = QStringLiteral("p%1.jpg").arg(n++);
    const QString path = sandbox.write(name, test::jpegOf(flat(c.picture, Qt::red)));
    const LoadedThumbnail loaded =
        loadThumbnailCached(path, c.iconSize, false, cache, EntryWrite::Now, EarlyPreview::No, c.ratio);
    const QSize icon = thumbnailSize(c.picture.width(), c.picture.height(), c.iconSize);
    EXPECT_EQ(loaded.image.size(), icon * c.ratio) << name.toStdString();
    EXPECT_EQ(loaded.image.devicePixelRatio(), c.ratio) << name.toStdString();
    for (const int side : {128, 256, 512, 1024}) {
      const QSize written = QImageReader(cache.entryPath(path, side)).size();
      EXPECT_EQ(written, side == c.side ? c.entry : QSize(-1, -1)) << name.toStdString() << " in " << side;
    }
  }
}

// Entries other programs write: the standard's chunks in a PNG made without Qt.
const char kPythonPngWriter[] = R"(
import struct, sys, zlib
out, uri, mtime, w, h = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5])
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
rows = b"".join(b"\0" + b"\0\0\xff" * w for _ in range(h))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
png += chunk(b"tEXt", b"Thumb::URI\0" + uri.encode()) + chunk(b"tEXt", b"Thumb::MTime\0" + mtime.encode())
png += chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")
open(out, "wb").write(png)
)";

bool run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return false;
  if (output) *output = process.readAllStandardOutput();
  return true;
}

TEST_F(CacheFixture, EntriesWrittenByOtherToolsAreUsed) {
  const QString path = picture(QStringLiteral("shared photo.jpg"), Qt::red);
  const QString uri = QString::fromLatin1(ThumbnailCache::uriOf(path));
  const QString mtime = QString::number(stampOf(path).mtime);
  const QString entry = cache.entryPath(path, 256);
  QDir().mkpath(QFileInfo(entry).path());

  const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
  if (!python.isEmpty()) {
    ASSERT_TRUE(run(python, {QStringLiteral("-c"), QString::fromLatin1(kPythonPngWriter), entry, uri, mtime,
                             QStringLiteral("256"), QStringLiteral("192")}));
    EXPECT_TRUE(looksLike(loadThumbnailCached(path, 150, false, cache).image, Qt::blue));
  }
  const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
  if (!convert.isEmpty()) {
    ASSERT_TRUE(
        run(convert, {QStringLiteral("-size"), QStringLiteral("256x192"), QStringLiteral("xc:#00ff00"),
                      // ImageMagick expands % in values: %% is a plain one.
                      QStringLiteral("-set"), QStringLiteral("Thumb::URI"),
                      QString(uri).replace(u'%', QStringLiteral("%%")), QStringLiteral("-set"),
                      QStringLiteral("Thumb::MTime"), mtime, QStringLiteral("PNG24:") + entry}));
    EXPECT_TRUE(looksLike(loadThumbnailCached(path, 150, false, cache).image, Qt::green));
  }
  if (python.isEmpty() && convert.isEmpty()) GTEST_SKIP() << "neither python3 nor convert";
}

TEST_F(CacheFixture, OurEntriesCarryTheChunksOtherToolsRead) {
  const QString identify = QStandardPaths::findExecutable(QStringLiteral("identify"));
  if (identify.isEmpty()) GTEST_SKIP() << "no identify";
  const QString path = picture(QStringLiteral("p.jpg"), Qt::red);
  loadThumbnailCached(path, 150, false, cache);
  QByteArray output;
  ASSERT_TRUE(run(identify, {QStringLiteral("-verbose"), cache.entryPath(path, 256)}, &output));
  EXPECT_TRUE(output.contains("Thumb::URI: " + ThumbnailCache::uriOf(path))) << output.toStdString();
  EXPECT_TRUE(output.contains("Thumb::MTime: " + QByteArray::number(stampOf(path).mtime)));
  EXPECT_TRUE(output.contains("Thumb::Image::Width: 800"));
  EXPECT_TRUE(output.contains("Thumb::Image::Height: 600"));
  EXPECT_TRUE(output.contains("Geometry: 256x192"));
}

}  // namespace
}  // namespace pimrose
