#include <gtest/gtest.h>

#include "codecs/picture_decoder.h"
#include "codecs/picture_header.h"
#include "codecs/picture_operations.h"
#include "support/picture_factory.h"

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

// 64 colours along most of the hue circle, so neighbouring indices are neighbouring colours.
QVector<QColor> huePalette() {
  QVector<QColor> palette;
  for (int i = 0; i < 64; ++i) palette.append(QColor::fromHsv(i * 300 / 64, 200, 230));
  return palette;
}

// Diagonal bands of colour, a few pixels wide, that change every third row: rows out of place show.
QVector<quint8> bandedIndices(QSize size) {
  QVector<quint8> indices;
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x) indices.append(quint8((x / 4 + y / 3) % 64));
  return indices;
}

qint64 meanChannelDifference(const QImage& a, const QImage& b) {
  qint64 sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) +
             std::abs(qAlpha(p) - qAlpha(q));
    }
  return sum / (4 * qint64(a.width()) * a.height());
}

TEST(GifPictures, ReducedWhileReadAndMatchesAFullDecodeSmoothlyScaled) {
  struct Case {
    const char* name;
    QSize screen;
    QRect frame;
    bool interlaced;
    int transparent;
    QSize thumb;
    QSize reduced;  // the canvas by the largest whole factor that still covers `thumb`
  };
  const Case cases[] = {
      {"whole screen", QSize(240, 160), QRect(0, 0, 240, 160), false, -1, QSize(28, 18), QSize(30, 20)},
      {"interlaced", QSize(240, 160), QRect(0, 0, 240, 160), true, -1, QSize(70, 50), QSize(80, 54)},
      {"small transparent frame inside", QSize(240, 160), QRect(37, 21, 150, 101), false, 0, QSize(28, 18),
       QSize(30, 20)},
      {"interlaced transparent frame past the screen", QSize(200, 120), QRect(50, 30, 190, 130), true, 0,
       QSize(56, 36), QSize(60, 40)},
  };
  const QVector<QColor> palette = huePalette();
  for (const Case& c : cases) {
    QVector<quint8> indices = bandedIndices(c.frame.size());
    if (c.transparent >= 0)  // a quarter of the frame clear, in stripes
      for (quint8& index : indices) index = index < 16 ? quint8(c.transparent) : index;
    const test::GifFrame frame{c.frame, indices, c.interlaced, c.transparent};
    const QByteArray gif = test::gifOf(c.screen, palette, {frame});
    const QImage whole = full(gif);
    ASSERT_EQ(whole.size(), readPictureHeader(gif)->upright()) << c.name;
    QString error;
    const QImage reduced = decodeUpright(gif, c.thumb, PreviewUse::Refused, &error);
    EXPECT_EQ(reduced.size(), c.reduced) << c.name << ": " << error.toStdString();
    const QImage thumb = thumbnailImage(gif, c.thumb, PreviewUse::Refused, &error);
    ASSERT_EQ(thumb.size(), c.thumb) << c.name;
    const QImage reference = whole.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                 .scaled(c.thumb, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(meanChannelDifference(thumb, reference), 5) << c.name;
    if (c.frame.left() > 0) {
      EXPECT_EQ(qAlpha(thumb.pixel(0, 0)), 0) << c.name << ": unpainted corner";
    }
    if (c.frame.right() >= c.screen.width()) {
      EXPECT_GT(qAlpha(thumb.pixel(c.thumb.width() - 1, c.thumb.height() - 1)), 0)
          << c.name << ": widened part";
    }
  }
}

TEST(GifPictures, DamagedFramesFailCalmlyWhenReduced) {
  for (const bool interlaced : {false, true}) {
    const test::GifFrame frame{QRect(0, 0, 240, 160), bandedIndices(QSize(240, 160)), interlaced, -1};
    const QByteArray gif = test::gifOf(QSize(240, 160), huePalette(), {frame});
    for (const qsizetype keep : {qsizetype(30), gif.size() / 2, gif.size() - 8}) {
      QString error;
      EXPECT_TRUE(decodeUpright(gif.left(keep), QSize(30, 20), PreviewUse::Refused, &error).isNull())
          << interlaced << " keeping " << keep;
      EXPECT_FALSE(error.isEmpty()) << interlaced << " keeping " << keep;
    }
  }
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
  EXPECT_TRUE(full(png.left(40)).isNull()) << "cut off before its pixels";
  EXPECT_TRUE(full(test::jpegOf(test::quadrants(8, 8)).prepend("\x89PNG\r\n\x1A\n")).isNull());
}

}  // namespace
}  // namespace pimrose
