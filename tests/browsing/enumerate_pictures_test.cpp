#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "browsing/enumerate_pictures.h"
#include "browsing/writing_systems.h"
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

void link(const Sandbox& box, const char* target, const char* at) {
  ASSERT_EQ(symlink(target, QFile::encodeName(box.filePath(QString::fromUtf8(at))).constData()), 0) << at;
}

// Thirty levels, each holding one picture and two links to the next level: 2^29 ways down. Each
// real folder is read once per walk, also when the paths of one drop overlap. The walk runs beside
// a guard that cancels it should it list far more than there is, so a fault fails instead of hanging.
TEST(EnumeratePicturesTest, BranchingLinksAndOverlappingPathsReadEachFolderOnce) {
  Sandbox box;
  constexpr int kLevels = 30;
  for (int level = 0; level < kLevels; ++level)
    box.write(QStringLiteral("t/l%1/p.jpg").arg(level, 2, 10, QChar(u'0')));
  for (int level = 0; level + 1 < kLevels; ++level)
    for (const char* name : {"a", "b"}) {
      const QByteArray target = QStringLiteral("../l%1").arg(level + 1, 2, 10, QChar(u'0')).toUtf8();
      const QByteArray at =
          QStringLiteral("t/l%1/%2").arg(level, 2, 10, QChar(u'0')).arg(QLatin1String(name)).toUtf8();
      link(box, target.constData(), at.constData());
    }
  CancelFlag cancel(false);
  FoundCount found(0);
  std::atomic<bool> done(false);
  std::thread guard([&] {
    while (!done.load() && found.load() <= 10 * kLevels) std::this_thread::yield();
    cancel = true;
  });
  WalkSummary summary;
  const QStringList listed = listPictures({box.filePath("t/l00"), box.filePath("t/l05"), box.filePath("t")},
                                          &cancel, &found, QString::fromUtf16(kPictureTypes), {}, &summary);
  done = true;
  guard.join();
  EXPECT_EQ(listed.size(), kLevels);
  EXPECT_EQ(summary.folders, kLevels + 1);  // t itself holds no picture
  EXPECT_EQ(relative(box, listed).last(), "t/l00/p.jpg");
  // The deepest way down comes last in the walk, so first in the list.
  EXPECT_EQ(relative(box, listed).first(),
            QStringLiteral("t/l00/") + QStringLiteral("a/").repeated(kLevels - 1) + "p.jpg");
}

// A walk of a whole machine ends: it stops at its limits with what it found, and says so.
TEST(EnumeratePicturesTest, WalkStopsAtItsLimitsKeepingWhatItFound) {
  Sandbox box;
  for (const char* name : {"a/1.jpg", "a/2.jpg", "a/3.jpg", "b/4.jpg", "c/5.jpg"})
    box.write(QString::fromUtf8(name));
  struct Case {
    WalkLimits limits;
    qsizetype listed;
    bool stopped;
  };
  const qsizetype pathSize = box.filePath("a/1.jpg").size();
  for (const Case& c : {Case{{}, 5, false}, Case{{10, 4, 1000}, 4, true}, Case{{2, 100, 1000}, 3, true},
                        Case{{10, 100, 2 * pathSize}, 2, true}}) {
    WalkSummary summary;
    const QStringList listed =
        listPictures({box.path()}, nullptr, nullptr, QString::fromUtf16(kPictureTypes), c.limits, &summary);
    EXPECT_EQ(listed.size(), c.listed) << c.limits.folders << " " << c.limits.pictures;
    EXPECT_EQ(summary.limitReached, c.stopped) << c.limits.folders << " " << c.limits.pictures;
  }
  WalkSummary kernel;
  listPictures({QStringLiteral("/proc")}, nullptr, nullptr, QString::fromUtf16(kPictureTypes), {}, &kernel);
  EXPECT_EQ(kernel.folders, 0);
}

// The walk tells whether every picture name is ASCII, so that a listing skips reading its names
// again for their scripts: only when that finds none.
TEST(EnumeratePicturesTest, WalkTellsWhetherItsPictureNamesAreAscii) {
  const std::pair<QStringList, bool> cases[] = {
      {{"a.jpg", "sub/b.png"}, true},
      {{"a.jpg", "b.jpg", "sub/deeper/\u03A9mega.jpg"}, false},
      {{"\u03A9dir/a.jpg"}, true},  // a folder's name is no picture's name
      {{"a.jpg", "\u4E2D.txt"}, true},
  };
  for (const auto& [names, ascii] : cases) {
    Sandbox box;
    for (const QString& name : names) box.write(name);
    WalkSummary summary;
    const QStringList listed =
        listPictures({box.path()}, nullptr, nullptr, QString::fromUtf16(kPictureTypes), {}, &summary);
    EXPECT_EQ(summary.asciiNames, ascii) << names.join(u' ').toStdString();
    EXPECT_EQ(writingSystemSamples(listed).isEmpty(), ascii) << names.join(u' ').toStdString();
  }
}

// Removes a folder named relative to an open one, whatever the length of the paths below it.
void removeTree(int parent, const char* name) {
  const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
  if (fd < 0) {
    unlinkat(parent, name, 0);
    return;
  }
  DIR* dir = fdopendir(fd);
  while (const dirent* entry = readdir(dir)) {
    const std::string child = entry->d_name;
    if (child != "." && child != "..") removeTree(dirfd(dir), child.c_str());
  }
  closedir(dir);
  unlinkat(parent, name, AT_REMOVEDIR);
}

QStringList warningsLogged;
void recordWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtWarningMsg) warningsLogged.append(message);
}

// Folders nested by descriptor until their paths pass what the system opens: the walk lists what it
// can open and tells the log what it left out.
// The listing's first pictures are told from the last folder walked, picked before its names are
// ordered (nothing counted yet); only when no other folder can still add pictures after them.
TEST(EnumeratePicturesTest, FirstPicturesAreToldAheadOnlyWhenNothingCanFollowThem) {
  struct Case {
    const char* name;
    std::vector<const char*> files;
    bool told;
    WalkLimits limits = {};
  };
  const std::vector<const char*> mixed = {"top/b.JPG", "top/A.jpg", "top/c.jpg",
                                          "top/z.png", "top/Y.png", "top/m.gif"};
  const std::vector<Case> cases = {
      {"one folder, across types", mixed, true},
      {"last sub-folder",
       {"top/x.gif", "top/a/q.jpg", "top/b/2.jpg", "top/b/1.PNG", "top/b/3.png", "top/b/0.gif"},
       true},
      {"last folder too small", {"top/x.gif", "top/a/q.jpg", "top/b/2.jpg", "top/b/1.png"}, false},
      {"a sub-folder follows", {"top/a.jpg", "top/b.png", "top/c.gif", "top/d.jpg", "top/sub/"}, false},
      {"cut by the limit", mixed, false, WalkLimits{.pictures = 5}},
  };
  constexpr qsizetype kCount = 4;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sandbox box;
    for (const char* file : c.files)
      QByteArrayView(file).endsWith("/") ? box.makeFolder(QString::fromUtf8(file))
                                         : box.write(QString::fromUtf8(file));
    FoundCount found{0};
    std::optional<QStringList> first;
    qsizetype foundWhenTold = -1;
    const QStringList all =
        listPictures({box.filePath("top")}, nullptr, &found, QString::fromUtf16(kPictureTypes), c.limits,
                     nullptr, {kCount, [&](const QStringList& pictures) {
                                 EXPECT_FALSE(first) << "told twice";
                                 first = pictures;
                                 foundWhenTold = found.load();
                               }});
    ASSERT_EQ(first.has_value(), c.told);
    if (!first) continue;
    EXPECT_EQ(relative(box, *first), relative(box, all.mid(0, kCount)));
    EXPECT_LE(foundWhenTold, all.size() - kCount) << "told before the folder was ordered and listed";
  }
}

TEST(EnumeratePicturesTest, PathsTooLongToOpenAreLeftOutAndLogged) {
  Sandbox box;
  box.write("deep/near.jpg");
  const std::string segment(200, 'd');
  // The sandbox cannot remove what no path can name: the tree goes by descriptor, whatever happens.
  const std::unique_ptr<void, std::function<void(void*)>> removal(&box, [&](void*) {
    const int deep = open(QFile::encodeName(box.filePath("deep")).constData(), O_RDONLY | O_DIRECTORY);
    removeTree(deep, segment.c_str());
    close(deep);
  });
  int fd = open(QFile::encodeName(box.filePath("deep")).constData(), O_RDONLY | O_DIRECTORY);
  for (int level = 0; level < 21 && fd >= 0; ++level) {
    mkdirat(fd, segment.c_str(), 0700);
    const int next = openat(fd, segment.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = next;
  }
  ASSERT_GE(fd, 0);
  close(openat(fd, "far.jpg", O_CREAT | O_WRONLY, 0600));
  close(fd);
  warningsLogged.clear();
  const QtMessageHandler previous = qInstallMessageHandler(recordWarning);
  WalkSummary summary;
  const QStringList listed =
      listPictures({box.filePath("deep")}, nullptr, nullptr, QString::fromUtf16(kPictureTypes), {}, &summary);
  qInstallMessageHandler(previous);
  EXPECT_EQ(relative(box, listed), QStringList{"deep/near.jpg"});
  EXPECT_EQ(summary.tooLong, 1);
  ASSERT_EQ(warningsLogged.size(), 1);
  EXPECT_TRUE(warningsLogged.first().startsWith(u"left out 1 entries whose paths are longer than 4095 bytes"))
      << warningsLogged.first().toStdString();
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
