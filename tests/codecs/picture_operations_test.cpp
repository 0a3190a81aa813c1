#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include "codecs/picture_operations.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

QByteArray smallPng() {
  return test::pngOf(test::quadrants(30, 20));
}

TEST(PictureOperations, ReadWholeFileGivesContentsOrNothing) {
  test::Sandbox sandbox;
  const QString file = sandbox.write(QStringLiteral("图片 a.png"), "abc");
  EXPECT_EQ(ReadWholeFile(toWidePath(file)), "abc");
  EXPECT_TRUE(ReadWholeFile(toWidePath(sandbox.filePath(QStringLiteral("missing")))).isEmpty());
  EXPECT_TRUE(ReadWholeFile(toWidePath(sandbox.makeFolder(QStringLiteral("dir")))).isEmpty());
  EXPECT_TRUE(ReadWholeFile(toWidePath(sandbox.write(QStringLiteral("empty")))).isEmpty());
  QFile locked(sandbox.write(QStringLiteral("locked"), "x"));
  locked.setPermissions(QFileDevice::WriteOwner);
  if (!QFileInfo(locked.fileName()).isReadable()) {  // the super-user reads every file
    EXPECT_TRUE(ReadWholeFile(toWidePath(locked.fileName())).isEmpty());
  }
  EXPECT_TRUE(ReadWholeFile(QByteArray()).isEmpty());
}

TEST(PictureOperations, MeasuresDataOrTheFileItNames) {
  test::Sandbox sandbox;
  const QString file = sandbox.write(QStringLiteral("p.png"), smallPng());
  const QString dir = sandbox.makeFolder(QStringLiteral("folder.png"));
  const struct {
    QByteArray source;
    int width, height;
  } cases[] = {
      {smallPng(), 30, 20},
      {file.toUtf8(), 30, 20},
      {file.toUtf8() + QByteArray("\0trailing", 9), 30, 20},
      {dir.toUtf8(), 0, 0},
      {{}, 0, 0},
      {"neither a path nor a picture", 0, 0},
      {test::pngHeaderOnly(100000, 100000), 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ImageWidth(c.source), c.width) << c.source.left(40).toStdString();
    EXPECT_EQ(ImageHeight(c.source), c.height) << c.source.left(40).toStdString();
  }
  EXPECT_TRUE(IsExistingFile(file));
  EXPECT_FALSE(IsExistingFile(dir));
}

TEST(PictureOperations, ConvertProducesEachFormat) {
  const struct {
    int code;
    const char* reader;
  } cases[] = {{1, "BMP"}, {2, "JPEG"}, {3, "GIF"}, {4, "TIFF"}, {5, "PNG"}, {0, "PNG"}, {99, "PNG"}};
  for (const auto& c : cases) {
    const QImage back = QImage::fromData(ConvertImage(smallPng(), c.code), c.reader);
    ASSERT_EQ(back.size(), QSize(30, 20)) << c.code;
    EXPECT_NEAR(qRed(back.pixel(2, 2)), 255, 30) << c.code;
    EXPECT_NEAR(qBlue(back.pixel(2, 18)), 255, 30) << c.code;
  }
  EXPECT_TRUE(ConvertImage("ab", kFormatPng).isEmpty());
  EXPECT_TRUE(ConvertImage("not a picture", kFormatPng).isEmpty());
  EXPECT_FALSE(LastImageError().isEmpty());
}

TEST(PictureOperations, ConvertWritesTheOutputPathByItsRules) {
  test::Sandbox sandbox;
  const QByteArray dir = sandbox.path().toUtf8() + '/';
  const struct {
    int code;
    QByteArray given, written;
  } cases[] = {
      {5, "a.PNG", "a.PNG"},      {2, "b.jpeg", "b.jpeg.jpg"}, {4, "c.TIFF", "c.TIFF"},
      {4, "d.tif", "d.tif.tiff"}, {7, "e", "e.png"},           {1, "f.bmp", "f.bmp"},
  };
  for (const auto& c : cases) {
    const QByteArray result = ConvertImage(smallPng(), c.code, dir + c.given);
    QFile written(QString::fromUtf8(dir + c.written));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << c.written.toStdString();
    EXPECT_EQ(written.readAll(), result);
  }
  for (const QByteArray& blank : {QByteArray("   "), QByteArray("\xE3\x80\x80 ")})
    EXPECT_FALSE(ConvertImage(smallPng(), 5, blank).isEmpty());
  EXPECT_FALSE(QFile::exists(QStringLiteral("   .png")));
}

TEST(PictureOperations, FlattenDrawsTransparencyOnWhite) {
  QImage clear(4, 4, QImage::Format_ARGB32);
  clear.fill(Qt::transparent);
  const QImage flat = QImage::fromData(ConvertImage(test::pngOf(clear), kFormatPng, {}, true), "PNG");
  EXPECT_EQ(flat.pixel(1, 1), qRgb(255, 255, 255));
  const QImage kept = QImage::fromData(ConvertImage(test::pngOf(clear), kFormatPng), "PNG");
  EXPECT_EQ(qAlpha(kept.pixel(1, 1)), 0);
}

TEST(PictureOperations, MakeThumbnailSizes) {
  const QImage own = QImage::fromData(MakeThumbnail(smallPng()), "PNG");
  EXPECT_EQ(own.size(), QSize(30, 20));
  EXPECT_EQ(QImage::fromData(MakeThumbnail(smallPng(), 7, 0), "PNG").size(), QSize(7, 20));
  EXPECT_EQ(QImage::fromData(MakeThumbnail(smallPng(), 50, 5), "PNG").size(), QSize(50, 5));
  EXPECT_TRUE(MakeThumbnail("garbage").isEmpty());
  EXPECT_TRUE(MakeThumbnail({}).isEmpty());
}

TEST(PictureOperations, WorkOnManyThreadsAtOnce) {
  const QByteArray png = smallPng(), jpeg = test::jpegOf(test::detailedPicture(320, 240, 1));
  std::atomic<int> good{0};
  std::vector<std::unique_ptr<QThread>> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back(QThread::create([&] {
      for (int i = 0; i < 10; ++i) {
        good += !MakeThumbnail(jpeg, 40, 30).isEmpty() && ImageWidth(png) == 30;
        ConvertImage("bad data", 3);
      }
    }));
  for (auto& thread : threads) thread->start();
  for (auto& thread : threads) thread->wait();
  EXPECT_EQ(good, 80);
  EXPECT_EQ(LastImageError(), QStringLiteral("从流里创建位图失败"));
}

}  // namespace
}  // namespace pimrose
