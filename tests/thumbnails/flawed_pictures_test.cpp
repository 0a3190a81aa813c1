#include <gtest/gtest.h>

#include "codecs/decode_picture.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "thumbnails/load_thumbnail.h"

// Pictures with a flaw that libjpeg or libpng steps over, made here by cutting or inserting bytes:
// browsers and file managers show them, and so do the viewer and the thumbnails.
namespace pimrose {
namespace {

QByteArray inserted(QByteArray bytes, qsizetype at, QByteArrayView extra) {
  return bytes.insert(at, extra.data(), extra.size());
}

// The mean grey difference over the first `rows` rows.
double difference(const QImage& a, const QImage& b, int rows) {
  qint64 sum = 0;
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < a.width(); ++x) sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
  return rows == 0 ? 0.0 : double(sum) / (double(rows) * a.width());
}

TEST(FlawedPictures, WhatTheDecoderCanGiveIsShown) {
  test::Sandbox sandbox;
  const QImage source = test::detailedPicture(400, 304, 9);
  const QByteArray jpeg = test::jpegOf(source);
  const QByteArray progressive = test::jpegOf(source, true);
  const QByteArray png = test::pngOf(source);
  const qsizetype tables = jpeg.indexOf("\xFF\xDB");
  const struct {
    const char* name;
    QByteArray bytes;
    QByteArray intact;  // empty: compared with the source picture, as lossy as a JPEG is
    int sameRows;       // rows that must show what the intact picture shows
  } cases[] = {
      {"no-end-marker.jpg", jpeg.chopped(2), jpeg, 304},
      {"last-byte-missing.jpg", jpeg.chopped(1), jpeg, 304},
      {"last-byte-missing-progressive.jpg", progressive.chopped(1), progressive, 304},
      {"last-byte-missing.png", png.chopped(1), png, 304},
      {"cut-in-half.jpg", jpeg.left(jpeg.size() / 2), jpeg, 16},
      {"cut-in-half.png", png.left(png.size() / 2), png, 16},
      {"stray-bytes-before-a-marker.jpg", inserted(jpeg, tables, QByteArrayView("\x00\x11\x22\x33", 4)), jpeg,
       304},
      {"stray-bytes-after-the-start.jpg", inserted(jpeg, 2, QByteArrayView("\x00\x11", 2)), jpeg, 304},
      {"stuffed-zero-before-a-marker.jpg", inserted(jpeg, tables, QByteArrayView("\xFF\x00", 2)), jpeg, 304},
      // Sampling that libjpeg writes and reads without a word and TurboJPEG's header call does not name.
      {"sampled-4-1-0.jpg", test::jpegSampledOf(source, {{{1, 4}, {1, 1}, {1, 1}}}), {}, 304},
      {"sampled-3-1.jpg", test::jpegSampledOf(source, {{{3, 1}, {1, 1}, {1, 1}}}), {}, 304},
      {"sampled-unevenly.jpg", test::jpegSampledOf(source, {{{2, 2}, {1, 2}, {1, 1}}}), {}, 304},
  };
  for (const auto& c : cases) {
    const QString path = sandbox.write(QString::fromLatin1(c.name), c.bytes);
    QString error;
    const QImage shown = decodePicture(path, &error);
    ASSERT_EQ(shown.size(), QSize(400, 304)) << c.name << ": " << error.toStdString();
    const bool againstSource = c.intact.isEmpty();
    const QImage expected =
        againstSource ? source : decodePicture(sandbox.write(QStringLiteral("intact"), c.intact));
    EXPECT_LT(difference(shown, expected, c.sameRows), againstSource ? 8.0 : 2.0) << c.name;
    const LoadedThumbnail thumbnail = loadThumbnail(path, 150, false);
    EXPECT_EQ(thumbnail.image.size(), QSize(150, 114)) << c.name << ": " << thumbnail.error.toStdString();
  }
}

}  // namespace
}  // namespace pimrose
