#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include "codecs/embedded_colour.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_operations.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

QString suiteDir() {
  return test::testDataDir() + QStringLiteral("/pngsuite");
}

QStringList suiteFiles() {
  return QDir(suiteDir() + QStringLiteral("/png"))
      .entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The reference samples and how they are to be compared: 8-bit exactly, 16-bit reduced within
// one level, or (for four files without a reduced reference) by their high byte.
struct Reference {
  QJsonArray samples;
  int shift = 0;
  int tolerance = 0;
};

Reference referenceFor(const QString& base) {
  const QString json = suiteDir() + QStringLiteral("/json/");
  if (QFile::exists(json + base + QStringLiteral("_to8.json")))
    return {QJsonDocument::fromJson(readAll(json + base + QStringLiteral("_to8.json"))).array(), 0, 1};
  const QJsonArray samples = QJsonDocument::fromJson(readAll(json + base + QStringLiteral(".json"))).array();
  const bool sixteenBit = base.endsWith(QLatin1String("16"));
  return {samples, sixteenBit ? 8 : 0, sixteenBit ? 1 : 0};
}

int firstMismatch(const QImage& image, const Reference& reference) {
  if (reference.samples.size() != qsizetype(image.width()) * image.height() * 4) return 0;
  for (int y = 0, i = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x, i += 4) {
      const QRgb p = image.pixel(x, y);
      const int got[4] = {qRed(p), qGreen(p), qBlue(p), qAlpha(p)};
      for (int c = 0; c < 4; ++c)
        if (std::abs(got[c] - (reference.samples[i + c].toInt() >> reference.shift)) > reference.tolerance)
          return i;
    }
  return -1;
}

TEST(PngSuite, EveryValidImageDecodesToItsReferencePixels) {
  const QStringList files = suiteFiles();
  ASSERT_GT(files.size(), 150) << "PngSuite not found under " << suiteDir().toStdString();
  int checked = 0, colourManaged = 0;
  for (const QString& file : files) {
    if (file.startsWith(QLatin1Char('x'))) continue;
    const QString base = file.chopped(4);
    const QByteArray bytes = readAll(suiteDir() + QStringLiteral("/png/") + file);
    const QImage image = decodeUpright(bytes, QSize(), PreviewUse::Refused, nullptr);
    ASSERT_FALSE(image.isNull()) << file.toStdString();
    // The references are the samples as stored; the two files with cHRM primaries are shown
    // converted to sRGB instead (colour_management_test checks that conversion).
    if (pngColourProfile(bytes).isTagged()) {
      ++colourManaged;
      continue;
    }
    EXPECT_EQ(firstMismatch(image, referenceFor(base)), -1) << file.toStdString();
    ++checked;
  }
  EXPECT_EQ(checked, 159);
  EXPECT_EQ(colourManaged, 2);
}

// Only the checksum of xcsn0g01's pixel chunk is wrong: its pixels are all there and are shown, as
// browsers show them. Every other corrupt file holds nothing to show.
TEST(PngSuite, EveryCorruptImageIsRejectedCalmly) {
  int rejected = 0;
  for (const QString& file : suiteFiles()) {
    if (!file.startsWith(QLatin1Char('x'))) continue;
    const QByteArray bytes = readAll(suiteDir() + QStringLiteral("/png/") + file);
    if (file == QLatin1String("xcsn0g01.png")) {
      EXPECT_EQ(decodeUpright(bytes, QSize(), PreviewUse::Refused, nullptr).size(), QSize(32, 32));
      continue;
    }
    QString error;
    EXPECT_TRUE(decodeUpright(bytes, QSize(), PreviewUse::Refused, &error).isNull()) << file.toStdString();
    EXPECT_FALSE(error.isEmpty()) << file.toStdString();
    EXPECT_TRUE(MakeThumbnail(bytes, 8, 8).isEmpty()) << file.toStdString();
    EXPECT_TRUE(ConvertImage(bytes, kFormatBmp).isEmpty()) << file.toStdString();
    ++rejected;
  }
  EXPECT_EQ(rejected, 13);
}

// Thumbnails of interlaced, 16-bit and palette files go through the same colour handling.
TEST(PngSuite, ThumbnailsOfEveryValidImageAreMade) {
  for (const QString& file : suiteFiles()) {
    if (file.startsWith(QLatin1Char('x'))) continue;
    const QImage thumb = thumbnailImage(readAll(suiteDir() + QStringLiteral("/png/") + file), QSize(10, 7),
                                        PreviewUse::Allowed, nullptr);
    EXPECT_EQ(thumb.size(), QSize(10, 7)) << file.toStdString();
    EXPECT_TRUE(thumb.format() == QImage::Format_RGB32 ||
                thumb.format() == QImage::Format_ARGB32_Premultiplied);
  }
}

}  // namespace
}  // namespace pimrose
