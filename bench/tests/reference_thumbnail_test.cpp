// The references set the denominators of the suite's ratios: a reference that picks the wrong DCT
// scale, averages wrongly or decodes another picture than ours would make every ratio a lie.

#include <cmath>
#include <cstdint>
#include <vector>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "codecs/gif_encode.h"
#include "thumbnails/load_thumbnail.h"
#include "tools/jpeg_encode.h"
#include "tools/reference_thumbnail.h"
#include "tools/synthetic_photo.h"

namespace pimrose::bench {
namespace {

struct ScaleCase {
  int width, height, target, targetHeight;
  Scale expected;
};

class ScaleChoice : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleChoice, SmallestScaleThatStillCoversTheThumbnail) {
  const ScaleCase c = GetParam();
  const Scale s = turboJpegScaleFor(c.width, c.height, c.target, c.targetHeight);
  EXPECT_EQ(s.num * c.expected.denom, c.expected.num * s.denom) << s.num << "/" << s.denom;
}

INSTANTIATE_TEST_SUITE_P(Table, ScaleChoice,
                         ::testing::Values(ScaleCase{4000, 3000, 270, 202, {1, 8}},   // 500 wide
                                           ScaleCase{4000, 3000, 501, 375, {1, 4}},   // 1/8 is 1 short
                                           ScaleCase{4000, 3000, 500, 375, {1, 8}},   // exactly covers
                                           ScaleCase{3000, 4000, 270, 360, {1, 8}},   // portrait
                                           ScaleCase{4000, 3000, 270, 3000, {1, 1}},  // height rules
                                           ScaleCase{200, 100, 270, 135, {1, 1}}));   // never enlarges

Pixels filled(int width, int height, std::uint8_t value) {
  return {width, height, std::vector<std::uint8_t>(size_t(width) * size_t(height) * 4, value)};
}

TEST(BoxResize, AveragesEveryCoveredPixelWithRounding) {
  Pixels two = filled(2, 2, 0);
  two.bgra = {0, 0, 0, 255, 10, 1, 0, 255, 20, 2, 0, 255, 31, 2, 1, 255};
  const Pixels one = boxResize(two, 1, 1);
  ASSERT_EQ(one.bgra.size(), 4u);
  EXPECT_EQ(one.bgra[0], 15);  // 61 / 4 rounds to 15
  EXPECT_EQ(one.bgra[1], 1);   // 5 / 4 rounds to 1
  EXPECT_EQ(one.bgra[2], 0);   // 1 / 4 rounds to 0
  EXPECT_EQ(one.bgra[3], 255);
}

TEST(BoxResize, UnevenFactorsKeepAFlatPictureFlatAndTheSizeAsked) {
  for (const auto& [w, h] : {std::pair{500, 375}, std::pair{7, 3}, std::pair{270, 202}}) {
    const Pixels out = boxResize(filled(w, h, 77), 270, 202);
    ASSERT_EQ(out.width, 270);
    ASSERT_EQ(out.height, 202);
    for (std::uint8_t v : out.bgra) ASSERT_EQ(v, 77) << w << "x" << h;
  }
  EXPECT_EQ(boxResize(Pixels{}, 10, 10).width, 0);
}

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  const QString path = dir.filePath(QString::fromLatin1(name));
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  return path;
}

QImage toImage(const RgbPicture& p) {
  return QImage(p.pixels.data(), p.width, p.height, p.width * 3, QImage::Format_RGB888).copy();
}

QByteArray encoded(const RgbPicture& picture, const char* format) {
  if (QByteArray(format) == "jpg") {
    const std::vector<std::uint8_t> jpeg = encodeJpeg(picture, 90);
    return QByteArray(reinterpret_cast<const char*>(jpeg.data()), qsizetype(jpeg.size()));
  }
  if (QByteArray(format) == "gif") return encodeGif(toImage(picture));
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "png").write(toImage(picture));
  return out;
}

// Mean absolute difference of the colour channels of two BGRA pictures of one size.
double meanDifference(const QImage& ours, const Pixels& reference) {
  const QImage bgra = ours.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int y = 0; y < reference.height; ++y) {
    const uchar* a = bgra.constScanLine(y);
    const std::uint8_t* b = &reference.bgra[size_t(y) * size_t(reference.width) * 4];
    for (int x = 0; x < reference.width * 4; ++x)
      if (x % 4 != 3) sum += std::abs(int(a[x]) - int(b[x]));
  }
  return sum / (double(reference.width) * reference.height * 3);
}

TEST(ReferenceThumbnail, ShowsThePicturePimroseShowsForEveryType) {
  QTemporaryDir dir;
  const RgbPicture picture = syntheticPhoto(1200, 900, 7);
  for (const auto& [format, kind] :
       {std::pair{"jpg", "jpeg"}, std::pair{"png", "png"}, std::pair{"gif", "gif"}}) {
    const QByteArray bytes = encoded(picture, format);
    const QString path = writeFile(dir, format, bytes);
    const Pixels reference = referenceThumbnail(bytes, kind, 270);
    const QImage ours = loadThumbnail(path, 270, false).image;
    ASSERT_EQ(reference.width, 270) << format;
    ASSERT_EQ(QSize(reference.width, reference.height), ours.size()) << format;
    // Both average the same picture down; filters differ a little, pictures must not.
    EXPECT_LT(meanDifference(ours, reference), 10.0) << format;
  }
}

TEST(ReferenceThumbnail, DamagedOrUnknownBytesGiveNothing) {
  const QByteArray junk(5000, 'x');
  for (const char* kind : {"jpeg", "png", "gif", "webp"})
    EXPECT_EQ(referenceThumbnail(junk, kind, 270).width, 0);
  EXPECT_EQ(referenceThumbnail(QByteArray(), "jpeg", 270).width, 0);
}

TEST(SyntheticPhoto, SameSeedSamePictureAndDetailLikeAPhotograph) {
  const RgbPicture a = syntheticPhoto(640, 480, 3);
  EXPECT_EQ(a.pixels, syntheticPhoto(640, 480, 3).pixels);
  EXPECT_NE(a.pixels, syntheticPhoto(640, 480, 4).pixels);
  // Camera JPEGs at quality 90 take about 2 bits a pixel; a smooth picture takes a fraction of
  // that and decodes several times faster, which would flatter every thumbnailer measured.
  const double bitsPerPixel = double(encodeJpeg(a, 90).size()) * 8 / (640.0 * 480);
  EXPECT_GT(bitsPerPixel, 1.2);
}

}  // namespace
}  // namespace pimrose::bench
