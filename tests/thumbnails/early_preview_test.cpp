#include <gtest/gtest.h>
#include <QFileInfo>

#include "codecs/file_reading.h"
#include "codecs/picture_header.h"
#include "support/debian_tools.h"
#include "support/heic_factory.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "thumbnails/cached_thumbnail.h"
#include "thumbnails/load_thumbnail.h"

// A camera photo's embedded preview standing in while its own pixels are decoded, one picture at a
// time (the deliveries through the pool and the loader are in early_preview_delivery_test.cpp).

namespace pimrose {
namespace {

constexpr QRgb R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF;

QImage flat(QSize size, QColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

bool near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) <= 40 && std::abs(qGreen(a) - qGreen(b)) <= 40 &&
         std::abs(qBlue(a) - qBlue(b)) <= 40;
}

QRgb centre(const QImage& image) {
  return image.pixel(image.width() / 2, image.height() / 2);
}

// The main picture red, the preview blue: the colour tells which one a thumbnail came from.
QByteArray camera(QSize picture, QSize preview, int orientation = 1) {
  return test::withExif(test::jpegOf(flat(picture, Qt::red)), orientation,
                        test::jpegOf(flat(preview, Qt::blue)));
}

// A good blue preview in front of a picture cut off before its pixels, which cannot be decoded.
QByteArray damagedCamera() {
  const QByteArray pixels = test::jpegOf(test::detailedPicture(800, 600, 5));
  return test::withExif(pixels.left(pixels.indexOf("\xFF\xDA")), 1, test::jpegOf(flat({160, 120}, Qt::blue)));
}

struct PreviewCase {
  const char* what;
  QByteArray bytes;
  int iconSize;
  bool fastLoading;
  bool provisional;  // a preview stands in first
  QRgb shown;        // the centre of the first (or only) thumbnail
};

TEST(EarlyPreview, ThePreviewStandsInOnlyWhenFastLoadingIsOffAndItIsLargeEnough) {
  test::Sandbox sandbox;
  // Icon 150 gives 150 x 112 for 4:3; 320 gives 320 x 240, whose half a 160 x 120 preview just
  // covers; 322 gives 322 x 241, whose half it does not.
  const PreviewCase cases[] = {
      {"half the icon or more", camera({800, 600}, {160, 120}), 150, false, true, B},
      {"exactly half", camera({800, 600}, {160, 120}), 320, false, true, B},
      {"a pixel under half", camera({800, 600}, {160, 120}), 322, false, false, R},
      {"fast loading: the preview is the thumbnail", camera({800, 600}, {160, 120}), 150, true, false, B},
      {"no preview", test::jpegOf(flat({800, 600}, Qt::red)), 150, false, false, R},
      {"an unreadable preview", test::withExif(test::jpegOf(flat({800, 600}, Qt::red)), 1, "\xFF\xD8 broken"),
       150, false, false, R},
      // Stored 800 x 200 turned upright to 200 x 800 (icon 75 x 300): only the preview turned
      // likewise (40 x 160) covers half of it.
      {"the preview's size is measured upright", camera({800, 200}, {160, 40}, 6), 150, false, true, B},
      // The final thumbnail fails as it does without the stand-in: the item is not left showing
      // the preview as if it were the picture.
      {"pixels damaged after a good preview", damagedCamera(), 150, false, true, B},
  };
  for (const PreviewCase& c : cases) {
    const QString path = sandbox.write(QStringLiteral("camera.jpg"), c.bytes);
    const LoadedThumbnail first = loadThumbnail(path, c.iconSize, c.fastLoading, 1.0, EarlyPreview::Yes);
    const LoadedThumbnail plain = loadThumbnail(path, c.iconSize, c.fastLoading);
    EXPECT_EQ(first.provisional, c.provisional) << c.what;
    EXPECT_EQ(bool(first.makeFinal), c.provisional) << c.what;
    EXPECT_TRUE(near(centre(first.image), c.shown)) << c.what << std::hex << " got " << centre(first.image);
    EXPECT_EQ(first.image.height(), plain.height) << c.what;
    if (!plain.image.isNull()) {
      EXPECT_EQ(first.image.size(), plain.image.size()) << c.what;
    }
    EXPECT_EQ(first.height, plain.height) << c.what;
    EXPECT_EQ(first.sourceSize, plain.sourceSize) << c.what;
    const LoadedThumbnail finished = c.provisional ? first.makeFinal() : first;
    EXPECT_FALSE(finished.provisional) << c.what;
    EXPECT_FALSE(finished.makeFinal) << c.what;
    // The final thumbnail is exactly the one made without a stand-in, failure included.
    EXPECT_EQ(finished.image, plain.image) << c.what;
    EXPECT_EQ(finished.error.isEmpty(), plain.error.isEmpty()) << c.what;
    EXPECT_EQ(finished.height, plain.height) << c.what;
  }
}

// The preview is oriented like the picture: its upright corners are the picture's.
TEST(EarlyPreview, ThePreviewIsTurnedUprightAndScaledToTheThumbnail) {
  test::Sandbox sandbox;
  const QString path = sandbox.write(
      QStringLiteral("turned.jpg"),
      test::withExif(test::jpegOf(flat({800, 600}, Qt::red)), 6, test::jpegOf(test::quadrants(320, 240))));
  const LoadedThumbnail first = loadThumbnail(path, 150, false, 2.0, EarlyPreview::Yes);
  ASSERT_TRUE(first.provisional);
  EXPECT_EQ(first.height, 200);
  EXPECT_EQ(first.image.size(), QSize(300, 400));  // device pixels at a ratio of 2
  EXPECT_EQ(first.image.devicePixelRatio(), 2.0);
  const QImage& image = first.image;
  const int r = image.width() - 5, b = image.height() - 5;
  const QRgb corners[4] = {image.pixel(4, 4), image.pixel(r, 4), image.pixel(4, b), image.pixel(r, b)};
  const QRgb expected[4] = {B, R, W, G};  // orientation 6 turns the stored quadrants clockwise
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(near(corners[i], expected[i])) << i << std::hex << " " << corners[i];
  EXPECT_EQ(first.makeFinal().image.size(), QSize(300, 400));
}

// A preview's header may claim far more than any preview holds (a few kilobytes claiming 65500 x
// 65500 pixels, hundreds of megabytes and seconds to decode at its smallest scale): such a preview is
// passed over as if there were none, and the picture's own pixels serve.
TEST(EarlyPreview, APreviewClaimingFarMoreThanTheIconNeedsIsPassedOver) {
  QByteArray preview = test::jpegOf(flat({160, 120}, Qt::blue));
  const qsizetype frame = preview.indexOf("\xFF\xC0");
  ASSERT_GT(frame, 0);
  preview.replace(frame + 5, 4, QByteArray("\xFF\xDC\xFF\xDC", 4));
  test::Sandbox sandbox;
  const QString path = sandbox.write(QStringLiteral("camera.jpg"),
                                     test::withExif(test::jpegOf(flat({800, 600}, Qt::red)), 1, preview));
  const LoadedThumbnail early = loadThumbnail(path, 150, false, 1.0, EarlyPreview::Yes);
  EXPECT_FALSE(early.provisional);
  EXPECT_TRUE(near(centre(early.image), R));
  EXPECT_TRUE(near(centre(loadThumbnail(path, 150, true).image), R)) << "fast loading";
}

// A HEIC red all over whose embedded thumbnail, blue, is `thumbnail` fitted into `side`.
QByteArray heicWithBlueThumbnail(QSize thumbnail, int side) {
  return test::heicWithThumbnail(flat({400, 300}, Qt::red), flat(thumbnail, Qt::blue), side);
}

// A HEIC heif-enc makes of four quadrants (from a JPEG whose EXIF says to turn it, which only irot
// may do in a HEIF, when `exifTurned`), with a thumbnail of at most `side` pixels.
QByteArray heifEncoded(const test::Sandbox& sandbox, int side, bool exifTurned = false) {
  const QImage quadrants = test::quadrants(400, 300);
  const QString source = exifTurned ? sandbox.write(QStringLiteral("turned.jpg"),
                                                    test::withExif(test::jpegOf(quadrants, false, 95), 6))
                                    : sandbox.write(QStringLiteral("quadrants.png"), test::pngOf(quadrants));
  const QString out = sandbox.filePath(QStringLiteral("made.heic"));
  if (!test::runTool(QStringLiteral("heif-enc"),
                     {QStringLiteral("-q"), QStringLiteral("90"), QStringLiteral("-t"), QString::number(side),
                      source, QStringLiteral("-o"), out}))
    return {};
  return readFileBytes(out);
}

bool showsQuadrants(const QImage& image) {
  const int r = image.width() - 5, b = image.height() - 5;
  return near(image.pixel(4, 4), R) && near(image.pixel(r, 4), G) && near(image.pixel(4, b), B) &&
         near(image.pixel(r, b), W);
}

// A HEIF's embedded thumbnail smaller than the icon stands in as its JPEG preview does; one that
// covers the icon is the final thumbnail itself, and one of another shape or less than half the icon
// is not used. Icon 270 is 270 x 202 for 4:3; at a pixel ratio of 2 it is 540 x 405.
TEST(EarlyPreview, AHeifThumbnailSmallerThanTheIconStandsIn) {
  if (const QString why = test::missingTool({{"heif-enc", "libheif-examples"}}); !why.isEmpty())
    GTEST_SKIP() << why.toStdString();
  test::Sandbox sandbox;
  const QByteArray encoded160 = heifEncoded(sandbox, 160), encoded320 = heifEncoded(sandbox, 320);
  const struct {
    const char* what;
    QByteArray bytes;
    double ratio;
    bool provisional;
    QRgb shown;  // the centre of the first thumbnail; 0: four quadrants
  } cases[] = {
      {"heif-enc, 160 x 120", encoded160, 1.0, true, 0},
      {"heif-enc, 320 x 240 covers the icon", encoded320, 1.0, false, 0},
      {"heif-enc, 320 x 240 at a pixel ratio of 2", encoded320, 2.0, true, 0},
      {"heif-enc with an EXIF orientation", heifEncoded(sandbox, 160, true), 1.0, true, 0},
      {"a thumbnail of its own pixels", heicWithBlueThumbnail({640, 480}, 160), 1.0, true, B},
      {"another shape", heicWithBlueThumbnail({640, 640}, 160), 1.0, false, R},
      {"less than half the icon", heicWithBlueThumbnail({640, 480}, 128), 1.0, false, R},
  };
  for (const auto& c : cases) {
    ASSERT_FALSE(c.bytes.isEmpty()) << c.what;
    const QString path = sandbox.write(QStringLiteral("phone.heic"), c.bytes);
    const LoadedThumbnail first = loadThumbnail(path, 270, false, c.ratio, EarlyPreview::Yes);
    const LoadedThumbnail plain = loadThumbnail(path, 270, false, c.ratio);
    EXPECT_EQ(first.provisional, c.provisional) << c.what;
    ASSERT_FALSE(first.image.isNull()) << c.what << " " << first.error.toStdString();
    EXPECT_EQ(first.image.size(), plain.image.size()) << c.what;
    EXPECT_EQ(first.image.devicePixelRatio(), c.ratio) << c.what;
    EXPECT_TRUE(c.shown ? near(centre(first.image), c.shown) : showsQuadrants(first.image)) << c.what;
    const LoadedThumbnail finished = first.makeFinal ? first.makeFinal() : first;
    EXPECT_FALSE(finished.provisional) << c.what;
    EXPECT_EQ(finished.image, plain.image) << c.what;
  }
}

struct CachedPreview : ::testing::Test {
  test::Sandbox sandbox;
  ThumbnailCache cache{sandbox.filePath(QStringLiteral("cache/thumbnails"))};
  void SetUp() override { sandbox.makeFolder(QStringLiteral("cache")); }
  LoadedThumbnail load(const QString& path, EntryWrite write) {
    return loadThumbnailCached(path, 150, false, cache, write, EarlyPreview::Yes);
  }
};

// The entry is written from the final thumbnail's pixels only, and once it is there it serves at
// once: no stand-in is made for a picture the cache already holds.
TEST_F(CachedPreview, TheEntryComesFromThePixelsAndAHitNeedsNoStandIn) {
  // The HEIC's 160 x 120 thumbnail covers the icon (150 x 112) but not the entry, which comes from
  // the picture: the thumbnail stands in meanwhile.
  const std::pair<QString, QByteArray> pictures[] = {
      {QStringLiteral("camera.jpg"), camera({800, 600}, {160, 120})},
      {QStringLiteral("phone.heic"), heicWithBlueThumbnail({640, 480}, 160)}};
  for (const EntryWrite write : {EntryWrite::Now, EntryWrite::AfterDelivery})
    for (const auto& [name, bytes] : pictures) {
      const QString path = sandbox.write(
          (write == EntryWrite::Now ? QStringLiteral("now-") : QStringLiteral("later-")) + name, bytes);
      const QString entry = cache.entryPath(path, 256);
      const LoadedThumbnail first = load(path, write);
      ASSERT_TRUE(first.provisional);
      EXPECT_TRUE(near(centre(first.image), B));
      EXPECT_FALSE(first.afterDelivery);
      EXPECT_FALSE(QFileInfo::exists(entry));

      const LoadedThumbnail finished = first.makeFinal();
      EXPECT_FALSE(finished.provisional);
      EXPECT_TRUE(near(centre(finished.image), R));
      EXPECT_EQ(bool(finished.afterDelivery), write == EntryWrite::AfterDelivery);
      if (finished.afterDelivery) finished.afterDelivery();
      ASSERT_TRUE(QFileInfo::exists(entry));
      EXPECT_TRUE(near(centre(QImage(entry)), R));

      const LoadedThumbnail hit = load(path, write);
      EXPECT_FALSE(hit.provisional);
      EXPECT_FALSE(hit.makeFinal);
      EXPECT_TRUE(near(centre(hit.image), R));
    }
}

// Pixels that fail after a good preview are recorded as failing, as without the stand-in.
TEST_F(CachedPreview, DamagedPixelsAreRecordedAsAFailureNotAsThePreview) {
  const QString path = sandbox.write(QStringLiteral("cut.jpg"), damagedCamera());
  const LoadedThumbnail first = load(path, EntryWrite::Now);
  ASSERT_TRUE(first.provisional);
  EXPECT_TRUE(first.makeFinal().image.isNull());
  EXPECT_FALSE(QFileInfo::exists(cache.entryPath(path, 256)));
  EXPECT_TRUE(cache.hasFailure(path, ThumbnailCache::stampOf(path).value_or(FileStamp{})));
}

}  // namespace
}  // namespace pimrose
