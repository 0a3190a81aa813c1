#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include "support/picture_factory.h"
#include "ui/image_bytes.h"

namespace pimrose::ui {
namespace {

QImage sample() {
  QImage image(7, 5, QImage::Format_RGB32);
  image.fill(QColor(200, 40, 10));
  image.setPixelColor(3, 2, QColor(10, 220, 30));
  return image;
}

// A 1x1 GIF whose one pixel is the first colour of its table, red (Qt writes no GIFs).
const QByteArray kRedGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01"
    "\x00\x00\x02\x02\x44\x01\x00;",
    35);

// Each format the artwork may come in decodes by its own leading bytes; a format without a
// signature of ours (here the .ico the tray uses) still decodes through Qt's own detection.
TEST(ImageBytes, DecodesEachArtworkFormatToTheSamePicture) {
  for (const char* format : {"PNG", "JPEG", "BMP", "ICO"}) {
    SCOPED_TRACE(format);
    const QByteArray bytes = test::encodedAs(sample(), format);
    ASSERT_FALSE(bytes.isEmpty());
    const QImage image = decodeImageBytes(bytes);
    ASSERT_EQ(image.size(), QSize(7, 5));
    if (QByteArray(format) != "JPEG") {
      EXPECT_EQ(image.pixelColor(3, 2), QColor(10, 220, 30));
    }
  }
  const QImage gif = decodeImageBytes(kRedGif);
  ASSERT_EQ(gif.size(), QSize(1, 1));
  EXPECT_EQ(gif.pixelColor(0, 0), QColor(255, 0, 0));
}

// A signature with nothing sound behind it, cut-off files and plain garbage give a null image.
TEST(ImageBytes, BrokenBytesGiveANullPicture) {
  const QByteArray png = test::encodedAs(sample(), "PNG");
  for (const QByteArray& bytes : {QByteArray(), QByteArray("\x89PNG\r\n\x1a\n"), png.left(png.size() / 2),
                                  QByteArray("\xff\xd8\xff\xe0 not a jpeg"), QByteArray("BM"),
                                  QByteArray("GIF89a"), QByteArray("just text")}) {
    SCOPED_TRACE(bytes.toHex().toStdString());
    EXPECT_TRUE(decodeImageBytes(bytes).isNull());
  }
}

TEST(ImageBytes, ResourcesAndFilesDecodeAndMissingOnesGiveNothing) {
  const QImage logo = decodeImageFile(QStringLiteral(":/pimrose/logo.png"));
  EXPECT_EQ(logo.size(), QSize(256, 256));
  EXPECT_EQ(decodeImageFile(QStringLiteral(":/pimrose/logo.png")), logo);
  EXPECT_TRUE(decodeImageFile(QStringLiteral(":/pimrose/no-such.png")).isNull());
  EXPECT_TRUE(decodeImageFile(QStringLiteral("/nonexistent/picture.png")).isNull());
}

// Start-up decodes the artwork on a warm-up thread while the UI thread may ask for it too: both get
// the one decoded picture (ThreadSanitizer watches the shared table).
TEST(ImageBytes, ArtworkDecodedOnTwoThreadsAtOnceIsDecodedOnce) {
  const QString paths[] = {QStringLiteral(":/pimrose/logo@2x.png"),
                           QStringLiteral(":/pimrose/not-drawn.png")};
  QImage warmedUp[2];
  std::thread warmUp([&] {
    for (int i = 0; i < 2; ++i) warmedUp[i] = decodeImageFile(paths[i]);
  });
  QImage here[2];
  for (int i = 0; i < 2; ++i) here[i] = decodeImageFile(paths[i]);
  warmUp.join();
  EXPECT_EQ(here[0].size(), QSize(512, 512));
  EXPECT_EQ(here[0].cacheKey(), warmedUp[0].cacheKey());
  EXPECT_TRUE(here[1].isNull() && warmedUp[1].isNull());
}

}  // namespace
}  // namespace pimrose::ui
