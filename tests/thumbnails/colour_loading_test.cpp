// Pictures tagged with a colour profile nobody has used yet, thumbnailed by several loaders at once:
// the profile's conversion is made once and shared (ThreadSanitizer runs this in the threads
// build), and every thumbnail comes out converted, the same as one made alone, whichever way it
// is made.
#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "thumbnails/cached_thumbnail.h"
#include "thumbnails/load_thumbnail.h"

namespace pimrose {
namespace {

QByteArray greenJpeg() {
  QImage green(64, 48, QImage::Format_RGB32);
  green.fill(qRgb(90, 170, 80));
  return test::jpegOf(green, false, 95);
}

// Display P3 primaries with a pure 2.2 power curve: a profile no other test of this program makes.
QByteArray taggedJpeg() {
  return test::withIccProfile(greenJpeg(), test::displayP3Profile(2.2));
}

// The same picture with its profile after the frame header, cut by the first 64 KiB a loader reads:
// a metadata segment pads the header up to just before that boundary.
QByteArray profileAcrossTheFirstRead() {
  const QByteArray jpeg = greenJpeg();
  qsizetype scan = 2;
  while (quint8(jpeg[scan + 1]) != 0xDA) scan += 2 + (quint8(jpeg[scan + 2]) << 8 | quint8(jpeg[scan + 3]));
  const qsizetype padding = 64 * 1024 - 100 - scan - 4;
  const qsizetype length = padding + 2;
  const QByteArray segment = QByteArray("\xFF\xED", 2) + char(length >> 8) + char(length & 0xFF);
  const QByteArray profile =
      test::withIccProfile(QByteArray("\xFF\xD8", 2), test::displayP3Profile(2.2)).mid(2);
  return jpeg.left(scan) + segment + QByteArray(padding, 'm') + profile + jpeg.mid(scan);
}

TEST(ColourLoaders, LoadersConvertingAtOnceShareOneConversionAndAgree) {
  test::Sandbox box;
  const QByteArray jpeg = taggedJpeg();
  std::vector<QString> paths;
  for (int i = 0; i < 8; ++i) paths.push_back(box.write(QStringLiteral("p%1.jpg").arg(i), jpeg));
  std::vector<QImage> made(paths.size());
  std::vector<std::thread> loaders;
  for (size_t t = 0; t < 4; ++t)
    loaders.emplace_back([&, t] {
      for (size_t i = t; i < paths.size(); i += 4) made[i] = loadThumbnail(paths[i], 32, false).image;
    });
  for (std::thread& loader : loaders) loader.join();

  const QImage alone = loadThumbnail(paths[0], 32, false).image;
  ASSERT_FALSE(alone.isNull());
  for (const QImage& image : made) EXPECT_EQ(image, alone);
  const QRgb centre = alone.pixel(16, 12);
  EXPECT_GT(std::abs(qRed(centre) - 90) + std::abs(qGreen(centre) - 170) + std::abs(qBlue(centre) - 80), 12)
      << "the wide-gamut green was shown without its profile";
}

// A tagged picture's thumbnail is converted however it is made: with its profile behind more
// metadata than the first read holds or cut by it (the header then found by walking the file), through the
// shared cache (the entry is written from converted pixels), and from that entry later.
TEST(ColourLoaders, EveryWayToAThumbnailConverts) {
  test::Sandbox box;
  const QByteArray jpeg = taggedJpeg();
  QByteArray metadata;
  for (int i = 0; i < 2; ++i) metadata += QByteArray("\xFF\xED\xFF\xFF", 4) + QByteArray(0xFFFD, 'm');
  const QString deep = box.write(QStringLiteral("deep.jpg"), jpeg.left(2) + metadata + jpeg.mid(2));
  const QString across = box.write(QStringLiteral("across.jpg"), profileAcrossTheFirstRead());
  const QString cached = box.write(QStringLiteral("cached.jpg"), jpeg);
  box.makeFolder(QStringLiteral("cache"));
  const ThumbnailCache cache(box.filePath(QStringLiteral("cache/thumbnails")));
  const QRgb expected =
      loadThumbnail(box.write(QStringLiteral("p.jpg"), jpeg), 32, false).image.pixel(16, 12);
  const struct {
    const char* what;
    std::function<LoadedThumbnail()> load;
  } cases[] = {
      {"profile past the first 64 KiB", [&] { return loadThumbnail(deep, 32, false); }},
      {"profile cut by the first 64 KiB, after the frame", [&] { return loadThumbnail(across, 32, false); }},
      {"no cache entry yet", [&] { return loadThumbnailCached(cached, 32, false, cache); }},
      {"from the cache entry", [&] { return loadThumbnailCached(cached, 32, false, cache); }},
  };
  for (const auto& c : cases) {
    const QImage image = c.load().image;
    ASSERT_FALSE(image.isNull()) << c.what;
    const QRgb centre = image.pixel(16, 12);
    EXPECT_LE(std::abs(qRed(centre) - qRed(expected)) + std::abs(qGreen(centre) - qGreen(expected)) +
                  std::abs(qBlue(centre) - qBlue(expected)),
              3)
        << c.what;
  }
}

}  // namespace
}  // namespace pimrose
