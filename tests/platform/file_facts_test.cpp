#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "platform/file_size.h"
#include "platform/file_times.h"
#include "support/sandbox.h"
#include "text/file_names.h"
#include "time_texts/date_time_pattern.h"

namespace pimrose {
namespace {

TEST(FileSizeTest, SizesOfFilesAndNonFiles) {
  test::Sandbox sandbox;
  const QString file = sandbox.write(QStringLiteral("照片 1.jpg"), QByteArray(1536, 'x'));
  EXPECT_EQ(FileSizeOf(file), 1536);
  EXPECT_EQ(FileSizeOf(sandbox.write(QStringLiteral("empty.png"))), 0);
  EXPECT_EQ(FileSizeOf(sandbox.filePath(QStringLiteral("missing.gif"))), 0);
  EXPECT_EQ(FileSizeOf(sandbox.makeFolder(QStringLiteral("folder"))), 0);
  EXPECT_EQ(FileSizeOf(QString()), 0);
  const QString link = sandbox.filePath(QStringLiteral("link.jpg"));
  ASSERT_TRUE(QFile::link(file, link));
  EXPECT_EQ(FileSizeOf(link), 1536);
}

// A name that is not valid UTF-8 reaches the program through the lossless name mapping.
TEST(FileSizeTest, NamesThatAreNotUtf8AreMeasuredToo) {
  test::Sandbox sandbox;
  const QByteArray raw = QFile::encodeName(sandbox.path()) + "/bad-\xff\xfe.jpg";
  const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "12345", 5), 5);
  ::close(fd);
  const QString path = decodeFileName(raw);
  EXPECT_EQ(FileSizeOf(path), 5);
  QString creation, lastWrite, lastAccess;
  EXPECT_TRUE(ReadFileTimes(path, creation, lastWrite, lastAccess));
}

TEST(FileTimesTest, ReadsTimesAsPatternTexts) {
  test::Sandbox sandbox;
  const QString file = sandbox.write(QStringLiteral("a.png"), "x");
  // 2024-01-31 and two hours later, as seconds since 1970 (UTC).
  const qint64 accessed = 1706709909;
  const qint64 written = accessed - 7200;
  const struct timespec times[2] = {{accessed, 0}, {written, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, 0), 0);

  const QLocale locale(QLocale::Chinese, QLocale::China);
  const auto local = [](qint64 s) {
    return QDateTime::fromSecsSinceEpoch(s).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  };
  QString creation, lastWrite, lastAccess;
  ASSERT_TRUE(ReadFileTimes(file, creation, lastWrite, lastAccess, locale));
  EXPECT_EQ(lastWrite, local(written));
  EXPECT_EQ(lastAccess, local(accessed));
  // The birth time where the file system keeps one (just now), else the last write.
  const qint64 now = QDateTime::currentSecsSinceEpoch();
  EXPECT_TRUE(creation == local(written) || creation == local(now) || creation == local(now - 1))
      << creation.toStdString();
}

TEST(FileTimesTest, UnreadablePathsLeaveTheTextsAlone) {
  test::Sandbox sandbox;
  const QString paths[] = {sandbox.filePath(QStringLiteral("missing.jpg")),
                           sandbox.makeFolder(QStringLiteral("d")), QString()};
  for (const QString& path : paths) {
    QString creation = QStringLiteral("keep"), lastWrite, lastAccess;
    EXPECT_FALSE(ReadFileTimes(path, creation, lastWrite, lastAccess)) << path.toStdString();
    EXPECT_EQ(creation, QStringLiteral("keep"));
  }
}

TEST(FileTimesTest, FileTimeToDateIsLocalAndDropsFractions) {
  const FileTime time{1706709909, 999'000'000};
  const QString expected =
      QDateTime::fromSecsSinceEpoch(time.seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  EXPECT_EQ(DateTimePatternText(FileTimeToDate(time), 1, 0, kClock24Hour), expected);
}

}  // namespace
}  // namespace pimrose
