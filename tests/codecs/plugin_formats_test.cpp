#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>

#include <gtest/gtest.h>

#include "codecs/decode_picture.h"
#include "codecs/file_reading.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_header.h"
#include "codecs/plugin_decode.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

using test::Sandbox;

// Runs a Debian tool that makes a picture; false when it is missing or fails.
bool run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  return process.waitForFinished(60'000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
}

// 300x200, red on the left half and blue on the right, in the format `target` names.
QString makeRedBlue(const Sandbox& box, const QString& name, const QStringList& options) {
  const QString path = box.filePath(name);
  QStringList arguments = {"-size", "300x200", "xc:red", "-fill", "blue", "-draw", "rectangle 150,0 299,199"};
  arguments << options << path;
  return run("convert", arguments) ? path : QString();
}

bool isRed(QRgb c) {
  return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}
bool isBlue(QRgb c) {
  return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60;
}

struct Made {
  const char* name;
  QStringList options;  // ImageMagick options in front of the output name
};

class PluginFormatsTest : public ::testing::TestWithParam<Made> {};

// Header-only size, a thumbnail of the asked size with the halves where they belong, the whole
// picture for the viewer; then the same bytes cut short or scrambled give a calm failure.
TEST_P(PluginFormatsTest, MeasuresThumbnailsAndViewsRealFiles) {
  const Made& made = GetParam();
  Sandbox box;
  const QString path = makeRedBlue(box, QString::fromLatin1(made.name), made.options);
  ASSERT_FALSE(path.isEmpty()) << "ImageMagick could not write " << made.name;
  QString error;
  const QByteArray bytes = readFileBytes(path, &error);
  ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();

  const std::optional<PictureHeader> header = readPictureHeader(bytes);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->format, PictureFormat::Other);
  EXPECT_EQ(header->upright(), QSize(300, 200));

  const QImage thumbnail = thumbnailImage(bytes, QSize(90, 60), PreviewUse::Refused, &error);
  ASSERT_EQ(thumbnail.size(), QSize(90, 60)) << error.toStdString();
  EXPECT_TRUE(isRed(thumbnail.pixel(10, 30)));
  EXPECT_TRUE(isBlue(thumbnail.pixel(80, 30)));

  const QImage whole = decodePicture(path, &error);
  ASSERT_EQ(whole.size(), QSize(300, 200)) << error.toStdString();
  EXPECT_TRUE(isRed(whole.pixel(20, 100)));
  EXPECT_TRUE(isBlue(whole.pixel(280, 100)));

  // Damaged copies: whatever the plugin makes of them, the answer is a picture of the right size
  // or a failure with a reason, never a crash or a wrong size.
  QByteArray scrambled = bytes;
  for (qsizetype k = 24; k < scrambled.size(); k += 7) scrambled[k] = char(scrambled[k] ^ 0x5A);
  for (const QByteArray& damaged : {bytes.left(bytes.size() / 2), bytes.left(20), scrambled}) {
    QString why;
    const QImage image = thumbnailImage(damaged, QSize(90, 60), PreviewUse::Refused, &why);
    if (image.isNull())
      EXPECT_FALSE(why.isEmpty());
    else
      EXPECT_EQ(image.size(), QSize(90, 60));
  }
}

INSTANTIATE_TEST_SUITE_P(
    ImageMagickFiles, PluginFormatsTest,
    ::testing::Values(Made{"lossy.webp", {"-quality", "90"}},
                      Made{"lossless.webp", {"-define", "webp:lossless=true"}},
                      Made{"plain.tif", {"-compress", "none"}}, Made{"lzw.tif", {"-compress", "lzw"}},
                      Made{"deflate.TIFF", {"-compress", "zip"}}, Made{"rgb24.bmp", {"-type", "TrueColor"}},
                      Made{"alpha32.bmp", {"-alpha", "on", "-define", "bmp:format=bmp4"}},
                      Made{"palette.BMP", {"-type", "Palette", "-colors", "4"}}),
    [](const ::testing::TestParamInfo<Made>& info) {
      QString name = QString::fromLatin1(info.param.name);
      return name.replace(u'.', u'_').toStdString();
    });

// A TIFF stored on its side with an orientation tag: measured and decoded upright, thumbnail
// included, so the icon height matches the picture shown.
TEST(PluginFormatsOrientationTest, TiffOrientationTagTurnsThePictureUpright) {
  Sandbox box;
  const QString path = box.filePath("turned.tif");
  // Stored 200x300 with blue on top: a quarter turn clockwise puts blue on the right.
  ASSERT_TRUE(run("convert", {"-size", "200x300", "xc:red", "-fill", "blue", "-draw", "rectangle 0,0 199,149",
                              "-orient", "RightTop", path}));
  const QByteArray bytes = readFileBytes(path, nullptr);
  const std::optional<PictureHeader> header = readPictureHeader(bytes);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->orientation, 6);
  EXPECT_EQ(header->upright(), QSize(300, 200));
  const QImage thumbnail = thumbnailImage(bytes, QSize(90, 60), PreviewUse::Refused, nullptr);
  ASSERT_EQ(thumbnail.size(), QSize(90, 60));
  EXPECT_TRUE(isRed(thumbnail.pixel(10, 30)));
  EXPECT_TRUE(isBlue(thumbnail.pixel(80, 30)));
}

// A WebP made by the reference encoder, when it is installed, reads like ImageMagick's.
TEST(PluginFormatsOrientationTest, WebpFromCwebpIsThumbnailed) {
  Sandbox box;
  const QString png = makeRedBlue(box, "source.png", {});
  const QString webp = box.filePath("cwebp.webp");
  if (!run("cwebp", {"-quiet", "-q", "80", png, "-o", webp})) GTEST_SKIP() << "cwebp is not installed";
  const QImage thumbnail =
      thumbnailImage(readFileBytes(webp, nullptr), QSize(150, 100), PreviewUse::Refused, nullptr);
  ASSERT_EQ(thumbnail.size(), QSize(150, 100));
  EXPECT_TRUE(isRed(thumbnail.pixel(20, 50)));
  EXPECT_TRUE(isBlue(thumbnail.pixel(130, 50)));
}

// A BMP header that claims 60000x60000 pixels (14 GB decoded) with a few bytes behind it: refused
// calmly by the thumbnail and the viewer, whether the plugin believes the header or not.
TEST(PluginFormatsOrientationTest, HugeBmpHeaderIsRefusedWithoutDecoding) {
  QByteArray bmp("BM");
  auto le32 = [&bmp](quint32 v) {
    for (int k = 0; k < 4; ++k) bmp.append(char((v >> (8 * k)) & 0xFF));
  };
  auto le16 = [&bmp](quint16 v) { bmp.append(char(v & 0xFF)).append(char(v >> 8)); };
  le32(54 + 64), le16(0), le16(0), le32(54);
  le32(40), le32(60000), le32(60000), le16(1), le16(24), le32(0), le32(0), le32(2835), le32(2835), le32(0),
      le32(0);
  bmp.append(64, '\x7F');
  QString error;
  EXPECT_TRUE(thumbnailImage(bmp, QSize(270, 270), PreviewUse::Refused, &error).isNull());
  EXPECT_FALSE(error.isEmpty());
  error.clear();
  EXPECT_TRUE(decodeUpright(bmp, QSize(), PreviewUse::Refused, &error).isNull());
  EXPECT_FALSE(error.isEmpty());
}

TEST(PluginFormatsOrientationTest, CoveringSizeKeepsTheShapeAndNeverGrows) {
  struct Case {
    QSize stored, atLeast, expected;
  };
  const Case cases[] = {
      {{3000, 2000}, {270, 180}, {270, 180}},  // exact shape
      {{3000, 2000}, {270, 270}, {405, 270}},  // the taller need decides
      {{2000, 3000}, {270, 100}, {270, 405}},  // the wider need decides
      {{300, 200}, {600, 400}, {300, 200}},    // never larger than stored
      {{1000, 1}, {10, 10}, {1000, 1}},        // a sliver stays whole
      {{999, 999}, {100, 0}, {999, 999}},      // an empty need asks for the whole
      {{7, 3}, {1, 1}, {3, 1}},                // rounds up, never to zero
  };
  for (const Case& c : cases)
    EXPECT_EQ(coveringSize(c.stored, c.atLeast), c.expected) << c.stored.width() << "x" << c.stored.height();
}

TEST(PluginFormatsOrientationTest, TransformationsMapToExifOrientations) {
  using H = QImageIOHandler;
  const std::pair<H::Transformations, int> cases[] = {
      {H::TransformationNone, 1},
      {H::TransformationMirror, 2},
      {H::TransformationRotate180, 3},
      {H::TransformationFlip, 4},
      {H::TransformationFlipAndRotate90, 5},
      {H::TransformationRotate90, 6},
      {H::TransformationMirrorAndRotate90, 7},
      {H::TransformationRotate270, 8},
  };
  for (const auto& [transformation, orientation] : cases)
    EXPECT_EQ(orientationOf(transformation), orientation);
}

}  // namespace
}  // namespace pimrose
