#include <gtest/gtest.h>

#include "codecs/decode_picture.h"
#include "codecs/jpeg_decode.h"
#include "codecs/picture_operations.h"
#include "codecs/picture_size.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "thumbnails/load_thumbnail.h"

namespace pimrose {
namespace {

bool near(QRgb a, QRgb b, int tolerance = 40) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Corner colours of the stored quadrant picture, as upright corners (top-left, top-right,
// bottom-left, bottom-right) must show them for each EXIF orientation.
constexpr QRgb R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF;
struct OrientationCase {
  int orientation;
  QRgb corners[4];
};
const OrientationCase kOrientations[] = {
    {1, {R, G, B, W}}, {2, {G, R, W, B}}, {3, {W, B, G, R}}, {4, {B, W, R, G}},
    {5, {R, B, G, W}}, {6, {B, R, W, G}}, {7, {W, G, B, R}}, {8, {G, W, R, B}},
};

void expectCorners(const QImage& image, const QRgb (&corners)[4], int orientation) {
  const int r = image.width() - 3, b = image.height() - 3;
  const QPoint points[4] = {{2, 2}, {r, 2}, {2, b}, {r, b}};
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(near(image.pixel(points[i]), corners[i]))
        << "orientation " << orientation << " corner " << i << " got " << std::hex << image.pixel(points[i]);
}

TEST(JpegPictures, EveryExifOrientationIsShownUpright) {
  test::Sandbox sandbox;
  const QByteArray stored = test::jpegOf(test::quadrants(64, 32));
  for (const OrientationCase& c : kOrientations) {
    const QString path =
        sandbox.write(QStringLiteral("o%1.jpg").arg(c.orientation), test::withExif(stored, c.orientation));
    const QSize upright = c.orientation >= 5 ? QSize(32, 64) : QSize(64, 32);
    EXPECT_EQ(pictureSize(path), upright) << c.orientation;
    const QByteArray pathBytes = path.toUtf8();
    EXPECT_EQ(ImageWidth(pathBytes), upright.width());
    expectCorners(decodePicture(path), c.corners, c.orientation);
    const LoadedThumbnail thumb = loadThumbnail(path, 16, false);
    EXPECT_EQ(thumb.height, upright.height() * 16 / upright.width());
    expectCorners(thumb.image, c.corners, c.orientation);
  }
}

// The preview is deliberately another picture than the pixels, so the tests see which was used.
class PreviewChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    QImage red(800, 600, QImage::Format_RGB32), blue(160, 120, QImage::Format_RGB32);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    bytes = test::withExif(test::jpegOf(red), 1, test::jpegOf(blue));
  }
  test::Sandbox sandbox;
  QByteArray bytes;
};

TEST_F(PreviewChoice, FastLoadingOffUsesOwnPixelsOnlyForExactJpegExtensions) {
  struct Case {
    const char* name;
    bool fastLoading;
    QRgb expected;
  } cases[] = {
      {"a.jpg", false, R}, {"a.jpeg", false, R}, {"a.JPG", false, B}, {"a.jpg", true, B}, {"a.png", false, B},
  };
  for (const Case& c : cases) {
    const QString path = sandbox.write(QString::fromLatin1(c.name), bytes);
    const LoadedThumbnail thumb = loadThumbnail(path, 150, c.fastLoading);
    ASSERT_EQ(thumb.image.size(), QSize(150, 112)) << c.name;
    EXPECT_TRUE(near(thumb.image.pixel(75, 56), c.expected)) << c.name << " fast " << c.fastLoading;
    EXPECT_EQ(thumb.sourceSize, QSize(800, 600));
  }
}

TEST_F(PreviewChoice, MakeThumbnailUsesThePreviewAndConvertUsesThePixels) {
  const QImage thumb = QImage::fromData(MakeThumbnail(bytes, 40, 30), "PNG");
  ASSERT_EQ(thumb.size(), QSize(40, 30));
  EXPECT_TRUE(near(thumb.pixel(20, 15), B));
  const QImage converted = QImage::fromData(ConvertImage(bytes, kFormatBmp), "BMP");
  ASSERT_EQ(converted.size(), QSize(800, 600));
  EXPECT_TRUE(near(converted.pixel(400, 300), R));
}

TEST(JpegPictures, ProgressiveFirstScansMatchAFullDecode) {
  const QImage source = test::detailedPicture(640, 480, 7);
  const QByteArray progressive = test::jpegOf(source, true);
  const QImage dc = decodeJpegFirstScans(progressive);
  ASSERT_EQ(dc.size(), QSize(80, 60));
  const QImage reference = source.scaled(80, 60, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  qint64 difference = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x) difference += std::abs(qGray(dc.pixel(x, y)) - qGray(reference.pixel(x, y)));
  EXPECT_LT(difference / (80 * 60), 8);
  EXPECT_TRUE(decodeJpegFirstScans(test::jpegOf(source, false)).isNull()) << "baseline has no DC-only scans";
  QString error;
  EXPECT_EQ(decodeJpeg(progressive, QSize(80, 60), &error).size(), QSize(80, 60));
  EXPECT_EQ(decodeJpeg(progressive, QSize(81, 60), &error).size(), QSize(160, 120));
}

// libjpeg decodes at any eighth of the size, rounding each side up: the smallest that covers the
// asked size is taken, the whole picture where even 7/8 falls short.
TEST(JpegPictures, DecodesAtTheSmallestEighthThatCovers) {
  const QByteArray jpeg = test::jpegOf(test::detailedPicture(641, 479, 3), false);
  const struct {
    QSize atLeast, decoded;
  } cases[] = {{{1, 1}, {81, 60}},       {{81, 60}, {81, 60}},     {{82, 60}, {161, 120}},
               {{200, 100}, {241, 180}}, {{561, 420}, {561, 420}}, {{562, 1}, {641, 479}},
               {{}, {641, 479}}};
  for (const auto& c : cases) {
    QString error;
    EXPECT_EQ(decodeJpeg(jpeg, c.atLeast, &error).size(), c.decoded)
        << c.atLeast.width() << "x" << c.atLeast.height();
  }
}

TEST(JpegPictures, CmykJpegDecodesToItsColours) {
  const QImage decoded = decodePicture(test::Sandbox().write(QStringLiteral("c.jpg"), {}));
  EXPECT_TRUE(decoded.isNull());
  test::Sandbox sandbox;
  const QString path = sandbox.write(QStringLiteral("cmyk.jpg"), test::cmykJpegOf(test::quadrants(64, 64)));
  expectCorners(decodePicture(path), kOrientations[0].corners, 1);
}

// A JPEG cut short still shows what it holds (flawed_pictures_test.cpp); these hold nothing to show.
TEST(JpegPictures, DamagedJpegsGiveNothing) {
  test::Sandbox sandbox;
  const QByteArray good = test::jpegOf(test::detailedPicture(400, 300, 3));
  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"cut-before-its-pixels.jpg", good.left(good.indexOf("\xFF\xDA"))},
      {"zero-bytes.jpg", {}},
      {"text.jpg", "this is not a picture\n"},
      {"header-only.jpg", good.left(20)},
  };
  for (const auto& c : cases) {
    const QString path = sandbox.write(QString::fromLatin1(c.name), c.bytes);
    QString error;
    EXPECT_TRUE(decodePicture(path, &error).isNull()) << c.name;
    EXPECT_FALSE(error.isEmpty()) << c.name;
    const LoadedThumbnail thumb = loadThumbnail(path, 150, true);
    EXPECT_TRUE(thumb.image.isNull()) << c.name;
    EXPECT_FALSE(thumb.error.isEmpty()) << c.name;
    EXPECT_TRUE(MakeThumbnail(c.bytes, 10, 10).isEmpty()) << c.name;
  }
}

}  // namespace
}  // namespace pimrose
