#include <algorithm>
#include <cstdlib>
#include <optional>

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include "codecs/orientation.h"
#include "codecs/picture_decoder.h"
#include "codecs/png_decode.h"
#include "codecs/png_encode.h"
#include "codecs/png_fast_path.h"
#include "codecs/upright_png.h"

namespace pimrose {
namespace {

// Every pixel different, so a filter or a byte order mixed up shows.
QImage gradient(QImage::Format format) {
  QImage image(37, 23, format);
  const bool alpha = format == QImage::Format_ARGB32;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixelColor(x, y, QColor(x * 7, y * 11, (x * y) % 256, alpha ? 40 + x * 5 : 255));
  return image;
}

QImage readByQt(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "png");
  return reader.read();
}

TEST(QuickPng, OpaqueAndTranslucentPicturesComeBackExactlyThroughBothDecoders) {
  for (const auto format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
    const QImage original = gradient(format);
    const QByteArray png = encodeQuickPng(original);
    ASSERT_FALSE(png.isEmpty());
    const QImage ours = decodePng(png, {}, nullptr);
    ASSERT_EQ(ours.format(), format);
    EXPECT_EQ(ours, original);
    EXPECT_EQ(readByQt(png).convertToFormat(format), original);
  }
}

TEST(QuickPng, TextChunksAreReadBackInOrderByUsAndByQt) {
  const PngTexts texts{{QStringLiteral("Thumb::URI"), QStringLiteral("file:///a%20b.jpg")},
                       {QStringLiteral("Thumb::MTime"), QStringLiteral("1700000000")},
                       {QStringLiteral("Empty"), QString()}};
  const QByteArray png = encodeQuickPng(gradient(QImage::Format_RGB32), texts);
  PngTexts read{{QStringLiteral("left over"), QStringLiteral("from before")}};
  ASSERT_FALSE(decodePng(png, {}, nullptr, &read).isNull());
  EXPECT_EQ(read, texts);
  EXPECT_EQ(readByQt(png).text(QStringLiteral("Thumb::MTime")), QStringLiteral("1700000000"));
}

TEST(QuickPng, TextsOfOtherWritersAreReadWhereverTheyStand) {
  // Qt writes text that Latin-1 cannot hold as UTF-8 (iTXt).
  QImage image = gradient(QImage::Format_RGB32);
  image.setText(QStringLiteral("Title"), QStringLiteral("照片"));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(QImageWriter(&buffer, "png").write(image));
  PngTexts read;
  ASSERT_FALSE(decodePng(png, {}, nullptr, &read).isNull());
  EXPECT_TRUE(read.contains(std::pair(QStringLiteral("Title"), QStringLiteral("照片"))));

  // The same chunks behind the pixels, as the format allows: everything between the header chunk
  // (which ends at byte 33) and the first IDAT moves to just before IEND.
  const qsizetype idat = png.indexOf("IDAT") - 4;
  const qsizetype iend = png.indexOf("IEND") - 4;
  const QByteArray moved = png.left(33) + png.mid(idat, iend - idat) + png.mid(33, idat - 33) + png.mid(iend);
  ASSERT_GT(moved.indexOf("iTXt"), moved.indexOf("IDAT"));
  read.clear();
  ASSERT_FALSE(decodePng(moved, {}, nullptr, &read).isNull());
  EXPECT_TRUE(read.contains(std::pair(QStringLiteral("Title"), QStringLiteral("照片"))));
}

// A photo stored turned is written upright row by row, as applyOrientation would turn it whole.
TEST(QuickPng, PicturesStoredTurnedAreWrittenUpright) {
  const QImage stored = gradient(QImage::Format_RGB32).convertToFormat(QImage::Format_RGB888);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const QImage written = decodePng(encodeUprightPng(stored, orientation), {}, nullptr);
    EXPECT_EQ(written, applyOrientation(stored, orientation).convertToFormat(QImage::Format_RGB32))
        << "orientation " << orientation;
  }
}

// Reduced straight to a size as the rows are inflated, a picture looks as Qt's smooth scaling makes
// it: noise shows a box misplaced by a pixel, and a translucent edge colour bleeding in.
TEST(QuickPng, ReducedWhileInflatedMatchesSmoothScaling) {
  struct Case {
    QSize from, to;
    bool alpha;
  };
  for (const Case& c : {Case{{512, 384}, {270, 203}, false}, Case{{512, 341}, {270, 180}, true},
                        Case{{300, 200}, {300, 200}, false}, Case{{37, 23}, {10, 7}, true},
                        Case{{100, 1}, {33, 1}, false}, Case{{64, 48}, {1, 1}, false}}) {
    QImage picture(c.from, c.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    quint32 seed = 1;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) {
        seed = seed * 1664525u + 1013904223u;
        const int noise = int(seed >> 26);
        picture.setPixel(x, y,
                         qRgba((x * 3 + noise) % 256, (y * 5 + noise) % 256, (x * y + noise) % 256,
                               c.alpha ? (x < c.from.width() / 3 ? 0 : 60 + (x + y) % 196) : 255));
      }
    const std::optional<QImage> reduced = decodePngFastPathTo(encodeQuickPng(picture), c.to);
    ASSERT_TRUE(reduced) << c.from.width() << " to " << c.to.width();
    const QImage expected = scaledThumbnail(picture, c.to);
    ASSERT_EQ(reduced->format(), expected.format());
    ASSERT_EQ(reduced->size(), c.to);
    int worst = 0;
    for (int y = 0; y < c.to.height(); ++y)
      for (int x = 0; x < c.to.width(); ++x) {
        const QRgb a = reduced->pixel(x, y), b = expected.pixel(x, y);
        worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                          std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
      }
    EXPECT_LE(worst, 2) << c.from.width() << "x" << c.from.height() << " to " << c.to.width();
  }
  EXPECT_FALSE(decodePngFastPathTo(encodeQuickPng(gradient(QImage::Format_RGB32)), {38, 23}));
}

TEST(QuickPng, ANullPictureGivesNoFile) {
  EXPECT_TRUE(encodeQuickPng(QImage()).isEmpty());
}

}  // namespace
}  // namespace pimrose
