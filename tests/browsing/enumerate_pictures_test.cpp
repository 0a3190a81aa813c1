#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "browsing/enumerate_pictures.h"
#include "support/sandbox.h"
#include "text/file_names.h"

namespace pimrose {
namespace {

using test::Sandbox;

// Paths relative to the sandbox, for readable expectations.
QStringList relative(const Sandbox& box, const QStringList& paths) {
  QStringList out;
  for (const QString& path : paths) out.append(path.mid(box.path().size() + 1));
  return out;
}

QStringList enumerate(const QString& folder, EnumerateOptions options = {}) {
  QStringList result;
  enumeratePictures(folder, QString::fromUtf16(kPictureTypes), result, options);
  return result;
}

TEST(EnumeratePicturesTest, ListsTypeByTypeThenSubFoldersDepthFirst) {
  Sandbox box;
  for (const char* name : {"b.png", "a.jpg", "c.gif", "B.jpg", "notes.txt", "sub2/x.png", "sub1/deep/y.gif",
                           "sub1/z.jpg", "Sub0/w.gif"})
    box.write(QString::fromUtf8(name));
  const QStringList expected = {"a.jpg",      "B.jpg",      "b.png",           "c.gif",
                                "Sub0/w.gif", "sub1/z.jpg", "sub1/deep/y.gif", "sub2/x.png"};
  EXPECT_EQ(relative(box, enumerate(box.path())), expected);
}

TEST(EnumeratePicturesTest, OpeningReversesTheCombinedListOfAllPaths) {
  Sandbox box;
  box.write("one/a.jpg");
  box.write("one/b.png");
  box.write("one/c.gif");
  box.write("two/d.jpg");
  const QStringList listed = listPictures({box.filePath("one"), box.filePath("two")});
  EXPECT_EQ(relative(box, listed), (QStringList{"two/d.jpg", "one/c.gif", "one/b.png", "one/a.jpg"}));
}

TEST(EnumeratePicturesTest, TypesMatchWithoutRegardToCaseButOnlyWholeExtensions) {
  Sandbox box;
  for (const char* name : {"a.JPG", "b.Png", "c.GIF", "d.jpeg", "e.bmp", "f.jpg.txt", "gjpg", ".jpg"})
    box.write(QString::fromUtf8(name));
  box.makeFolder("folder.jpg");
  EXPECT_EQ(relative(box, enumerate(box.path())), (QStringList{".jpg", "a.JPG", "b.Png", "c.GIF"}));
}

TEST(EnumeratePicturesTest, NothingForFilesMissingFoldersEmptyPathsAndOtherTypesOnly) {
  Sandbox box;
  const QString file = box.write("only.jpg");
  box.write("jpegs/a.jpeg");
  EXPECT_TRUE(listPictures({file}).isEmpty());
  EXPECT_TRUE(listPictures({box.filePath("missing")}).isEmpty());
  EXPECT_TRUE(listPictures({box.filePath("jpegs")}).isEmpty());
  EXPECT_TRUE(listPictures({QString()}).isEmpty());
}

TEST(EnumeratePicturesTest, PathIsCutAtItsFirstZeroUnitAndMayEndInSlash) {
  Sandbox box;
  box.write("a.jpg");
  QString withZero = box.path();
  withZero.append(QChar(u'\0')).append(u"garbage");
  EXPECT_EQ(relative(box, enumerate(withZero)), QStringList{"a.jpg"});
  EXPECT_EQ(enumerate(box.path() + u'/'), QStringList{box.filePath("a.jpg")});
}

TEST(EnumeratePicturesTest, LinkBackIntoTheWalkIsNotFollowedAgain) {
  Sandbox box;
  box.write("top/a.jpg");
  box.write("top/inner/b.png");
  ASSERT_EQ(symlink("..", QFile::encodeName(box.filePath("top/inner/up")).constData()), 0);
  ASSERT_EQ(symlink(".", QFile::encodeName(box.filePath("top/self")).constData()), 0);
  EXPECT_EQ(relative(box, enumerate(box.filePath("top"))), (QStringList{"top/a.jpg", "top/inner/b.png"}));
}

TEST(EnumeratePicturesTest, LinksToFilesAndSiblingFoldersAreFollowedDanglingOnesSkipped) {
  Sandbox box;
  box.write("pics/real.jpg");
  box.write("elsewhere/far.gif");
  const QByteArray pics = QFile::encodeName(box.filePath("pics/"));
  ASSERT_EQ(symlink("real.jpg", (pics + "link.jpg").constData()), 0);
  ASSERT_EQ(symlink("nowhere.jpg", (pics + "dangling.jpg").constData()), 0);
  ASSERT_EQ(symlink("../elsewhere", (pics + "other").constData()), 0);
  ASSERT_EQ(mkfifo((pics + "pipe.jpg").constData(), 0600), 0);
  EXPECT_EQ(relative(box, enumerate(box.filePath("pics"))),
            (QStringList{"pics/link.jpg", "pics/real.jpg", "pics/other/far.gif"}));
}

TEST(EnumeratePicturesTest, AwkwardNamesSurviveByteExact) {
  Sandbox box;
  const QList<QByteArray> names = {"with space.jpg", "new\nline.png", "\xe4\xb8\xad\xe6\x96\x87.gif",
                                   "bad\xff\xfe.jpg", "dir\x80/inner.png"};
  const QByteArray root = QFile::encodeName(box.path()) + '/';
  for (const QByteArray& name : names) {
    const QByteArray full = root + name;
    if (name.contains('/')) {
      ASSERT_EQ(mkdir((root + name.left(name.indexOf('/'))).constData(), 0700), 0);
    }
    ASSERT_EQ(access(full.constData(), F_OK), -1);
    FILE* created = fopen(full.constData(), "w");
    ASSERT_NE(created, nullptr);
    fclose(created);
  }
  const QStringList found = enumerate(box.path());
  ASSERT_EQ(found.size(), names.size());
  for (const QString& path : found) {
    const QByteArray bytes = encodeFileName(path);
    EXPECT_EQ(access(bytes.constData(), F_OK), 0) << bytes.toHex().constData();
  }
  // Qt cannot remove what it cannot name; clear the sandbox by bytes.
  for (const QByteArray& name : names) unlink((root + name).constData());
  rmdir((root + "dir\x80").constData());
}

TEST(EnumeratePicturesTest, WithoutRecursionResultIsReplacedAndFoldersCanBeIncluded) {
  Sandbox box;
  box.write("a.png");
  box.write("sub/b.jpg");
  QStringList result = {"stale"};
  enumeratePictures(box.path(), QString::fromUtf16(kPictureTypes), result, {false, false, true});
  EXPECT_EQ(result, (QStringList{"a.png", box.filePath("sub/")}));
}

TEST(EnumeratePicturesTest, CancelledWalkStopsEarly) {
  Sandbox box;
  box.write("a/x.jpg");
  CancelFlag cancel(true);
  EXPECT_TRUE(listPictures({box.path()}, &cancel).isEmpty());
}

struct NameCase {
  const char* bytes;
  int length;
};

class EnumeratedNamesTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(EnumeratedNamesTest, BytesRoundTrip) {
  const QByteArray bytes(GetParam().bytes, GetParam().length);
  EXPECT_EQ(encodeFileName(decodeFileName(bytes)).toHex(), bytes.toHex());
}

INSTANTIATE_TEST_SUITE_P(Names, EnumeratedNamesTest,
                         ::testing::Values(NameCase{"/plain/ascii.jpg", 16}, NameCase{"\xe4\xb8\xad", 3},
                                           NameCase{"\xf0\x9f\x98\x80", 4},
                                           NameCase{"a\xff\xfe"
                                                    "b",
                                                    4},
                                           NameCase{"\xc0\xaf", 2},          // overlong '/'
                                           NameCase{"\xed\xa0\x80", 3},      // encoded surrogate
                                           NameCase{"\xe4\xb8", 2},          // cut short
                                           NameCase{"\xf4\x90\x80\x80", 4},  // beyond U+10FFFF
                                           NameCase{"\x80\xbf\xc3", 3}));

TEST(EnumeratedNamesTest, ValidUtf8DecodesAsUtf8) {
  EXPECT_EQ(decodeFileName("\xe4\xb8\xad\xe6\x96\x87/\xf0\x9f\x98\x80"), QString::fromUtf8("中文/😀"));
  EXPECT_EQ(encodeFileName(QString::fromUtf8("中文")), QByteArray("\xe4\xb8\xad\xe6\x96\x87"));
}

}  // namespace
}  // namespace pimrose
