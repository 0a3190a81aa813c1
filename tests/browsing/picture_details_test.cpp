#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <unistd.h>

#include "browsing/picture_details.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

const QLocale kLocale(QLocale::Chinese, QLocale::China);

// A real JPEG whose header claims 6000x4000 pixels: a full decode has to fill 24 megapixels, reading
// the header does not.
QByteArray jpegClaiming6000x4000() {
  QImage small(64, 48, QImage::Format_RGB32);
  small.fill(Qt::darkCyan);
  QByteArray jpeg = test::encodedAs(small, "JPG");
  const qsizetype sof = jpeg.indexOf("\xFF\xC0");
  if (sof < 0) return {};
  jpeg[sof + 5] = char(4000 >> 8);
  jpeg[sof + 6] = char(4000 & 0xFF);
  jpeg[sof + 7] = char(6000 >> 8);
  jpeg[sof + 8] = char(6000 & 0xFF);
  return jpeg;
}

TEST(PictureDetailsTest, LineJoinsThePiecesExactly) {
  PictureDetails details;
  details.position = 2;
  details.count = 3;
  details.resolution = QSize(1920, 1080);
  details.size = 1536;
  details.creationTime = QStringLiteral("2024-01-31 14:05:09");
  details.path = QStringLiteral("/home/u/图片/a b.jpg");
  EXPECT_EQ(
      PictureDetailsLine(details),
      QStringLiteral("位置：2/3   分辨率：1920*1080   大小：1.5K   创建时间：2024-01-31 14:05:09   路径："
                     "/home/u/图片/a b.jpg"));
  details.resolution = QSize();  // unreadable: 0*0, not -1*-1
  details.size = 0;
  details.creationTime.clear();
  EXPECT_EQ(PictureDetailsLine(details),
            QStringLiteral("位置：2/3   分辨率：0*0   大小：0   创建时间：   路径：/home/u/图片/a b.jpg"));
}

TEST(PictureDetailsTest, ReadsARealPicture) {
  test::Sandbox sandbox;
  QImage image(1920, 1080, QImage::Format_RGB32);
  image.fill(Qt::darkGreen);
  const QString path = sandbox.write(QStringLiteral("照片/wide.png"), test::encodedAs(image, "PNG"));
  const PictureDetails details = readPictureDetails(path, 1, 1, kLocale);
  EXPECT_EQ(details.resolution, QSize(1920, 1080));
  EXPECT_GT(details.size, 0);
  const QString line = PictureDetailsLine(details);
  EXPECT_TRUE(line.contains(QStringLiteral("   分辨率：1920*1080   大小：")));
  const QRegularExpression created(
      QStringLiteral("   创建时间：\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d   路径："));
  EXPECT_TRUE(created.match(line).hasMatch()) << line.toStdString();
  EXPECT_TRUE(line.endsWith(QStringLiteral("   路径：") + path));
}

TEST(PictureDetailsTest, MissingAndNonPictureFilesStillGiveALine) {
  test::Sandbox sandbox;
  const QString missing = sandbox.filePath(QStringLiteral("gone.jpg"));
  EXPECT_EQ(PictureDetailsLine(readPictureDetails(missing, 4, 9, kLocale)),
            QStringLiteral("位置：4/9   分辨率：0*0   大小：0   创建时间：   路径：") + missing);
  const QString text = sandbox.write(QStringLiteral("notes.jpg"), QByteArray(500, 'x'));
  const QString line = PictureDetailsLine(readPictureDetails(text, 1, 1, kLocale));
  EXPECT_TRUE(line.contains(QStringLiteral("   分辨率：0*0   大小：500B   创建时间：2")))
      << line.toStdString();
}

TEST(PictureDetailsTest, ItemOfTheShownListGivesItsPositionAndCount) {
  test::Sandbox sandbox;
  const QStringList matches = {sandbox.filePath(QStringLiteral("1.jpg")),
                               sandbox.filePath(QStringLiteral("2.jpg")),
                               sandbox.filePath(QStringLiteral("3.jpg"))};
  EXPECT_TRUE(
      pictureDetailsLineForItem(matches, 1, kLocale).startsWith(QStringLiteral("位置：2/3   分辨率：")));
  EXPECT_TRUE(pictureDetailsLineForItem(matches, 1, kLocale).endsWith(matches[1]));
  EXPECT_EQ(pictureDetailsLineForItem(matches, 3, kLocale), QString());
  EXPECT_EQ(pictureDetailsLineForItem(matches, -1, kLocale), QString());
  EXPECT_EQ(pictureDetailsLineForItem({}, 0, kLocale), QString());
}

// Decided by what is read, not by a stopwatch: the picture sits at the start of a sparse file far
// past the picture file limit, so a details line that read the whole file could not measure it.
TEST(PictureDetailsTest, MeasuringALargeJpegReadsOnlyItsHeader) {
  test::Sandbox sandbox;
  const QByteArray jpeg = jpegClaiming6000x4000();
  ASSERT_FALSE(jpeg.isEmpty());
  const QString path = sandbox.write(QStringLiteral("big.jpg"), jpeg);
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_EQ(::ftruncate(file.handle(), 4LL * 1024 * 1024 * 1024), 0);
  }
  const PictureDetails details = readPictureDetails(path, 1, 1, kLocale);
  EXPECT_EQ(details.resolution, QSize(6000, 4000));
}

}  // namespace
}  // namespace pimrose
