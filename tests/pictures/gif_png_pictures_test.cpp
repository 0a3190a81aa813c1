#include <gtest/gtest.h>

#include "picture_factory.h"
#include "pictures/picture_decoder.h"
#include "pictures/picture_header.h"
#include "pictures/picture_operations.h"

namespace pimrose {
namespace {

const QVector<QColor> kPalette = {Qt::red, Qt::green, Qt::blue, Qt::white};

QVector<quint8> rowsOf(int width, int height) {
  QVector<quint8> indices;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) indices.append(quint8(y % 4));
  return indices;
}

QImage full(const QByteArray& bytes) {
  return decodeUpright(bytes, QSize(), PreviewUse::Refused, nullptr);
}

TEST(GifPictures, FirstFrameOnlyWithRowsInPlace) {
  for (const bool interlaced : {false, true}) {
    const test::GifFrame first{QRect(0, 0, 5, 11), rowsOf(5, 11), interlaced, -1};
    const test::GifFrame second{QRect(0, 0, 5, 11), QVector<quint8>(55, 3), false, -1};
    const QImage image = full(test::gifOf(QSize(5, 11), kPalette, {first, second}));
    ASSERT_EQ(image.size(), QSize(5, 11)) << interlaced;
    for (int y = 0; y < 11; ++y)
      EXPECT_EQ(image.pixel(2, y), kPalette[y % 4].rgb()) << interlaced << " row " << y;
  }
}

TEST(GifPictures, TransparentIndexAndUnpaintedCanvasAreClear) {
  const test::GifFrame frame{QRect(1, 1, 2, 2), {0, 1, 1, 0}, false, 1};
  const QImage image = full(test::gifOf(QSize(4, 4), kPalette, {frame}));
  ASSERT_EQ(image.size(), QSize(4, 4));
  EXPECT_EQ(image.pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(qAlpha(image.pixel(2, 1)), 0);
  EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
}

TEST(GifPictures, TallFramePastTheScreenWidensTheCanvas) {
  const test::GifFrame frame{QRect(0, 0, 1, 10000), rowsOf(1, 10000), false, -1};
  const QByteArray bytes = test::gifOf(QSize(1, 1), kPalette, {frame});
  EXPECT_EQ(ImageHeight(bytes), 10000);
  EXPECT_EQ(full(bytes).size(), QSize(1, 10000));
  EXPECT_EQ(QImage::fromData(MakeThumbnail(bytes, 3, 30), "PNG").size(), QSize(3, 30));
  EXPECT_TRUE(full(bytes.left(bytes.size() / 2)).isNull()) << "truncated";
  EXPECT_TRUE(full(bytes.left(13)).isNull()) << "no frame";
}

TEST(PngPictures, LargePngIsReducedWhileReadAndMatchesAFullScale) {
  const QImage source = test::detailedPicture(1200, 900, 5);
  const QByteArray png = test::pngOf(source);
  QString error;
  const QImage reduced = decodeUpright(png, QSize(150, 112), PreviewUse::Allowed, &error);
  EXPECT_EQ(reduced.size(), QSize(150, 113)) << "a whole factor of 8 that still covers the target";
  const QImage thumb = thumbnailImage(png, QSize(150, 112), PreviewUse::Allowed, &error);
  const QImage reference = source.scaled(150, 112, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  qint64 difference = 0;
  for (int y = 0; y < 112; ++y)
    for (int x = 0; x < 150; ++x)
      difference += std::abs(qGray(thumb.pixel(x, y)) - qGray(reference.pixel(x, y)));
  EXPECT_LT(difference / (150 * 112), 6);
}

TEST(PngPictures, HalfTransparentEdgesDoNotDarken) {
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) image.setPixel(x, y, qRgba(255, 255, 255, 255));
  const QImage reduced = decodeUpright(test::pngOf(image), QSize(2, 2), PreviewUse::Allowed, nullptr);
  ASSERT_EQ(reduced.size(), QSize(2, 2));
  EXPECT_EQ(reduced.pixel(0, 0), qRgba(255, 255, 255, 255));
  EXPECT_EQ(qAlpha(reduced.pixel(1, 0)), 0);
}

TEST(PngPictures, HugeOrBrokenHeadersAreRefused) {
  EXPECT_FALSE(readPictureHeader(test::pngHeaderOnly(100000, 100000)).has_value());
  EXPECT_TRUE(MakeThumbnail(test::pngHeaderOnly(100000, 100000), 100, 100).isEmpty());
  // Believable sides but far beyond the full-decode limit: refused quickly, without allocating.
  EXPECT_TRUE(full(test::pngHeaderOnly(60000, 60000)).isNull());
  EXPECT_TRUE(thumbnailImage(test::pngHeaderOnly(60000, 60000), QSize(100, 100), PreviewUse::Allowed, nullptr)
                  .isNull());
  const QByteArray png = test::pngOf(test::quadrants(40, 40));
  EXPECT_TRUE(full(png.left(png.size() - 30)).isNull()) << "truncated";
  EXPECT_TRUE(full(test::jpegOf(test::quadrants(8, 8)).prepend("\x89PNG\r\n\x1A\n")).isNull());
}

}  // namespace
}  // namespace pimrose
