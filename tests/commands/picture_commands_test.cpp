#include <QBuffer>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstdio>

#include "commands/chosen_picture.h"
#include "commands/copy_picture.h"
#include "commands/notice_sink.h"
#include "commands/open_picture.h"
#include "commands/open_with_shell.h"
#include "support/sandbox.h"
#include "support/url_recorder.h"
#include "text/file_names.h"

namespace pimrose {
namespace {

// The picture menu's choice

struct ChosenCase {
  const char* what;
  bool searchVisible;
  int fileMenuItem;
  const char* expected;
};

class ChosenPictureTest : public ::testing::TestWithParam<ChosenCase> {};

TEST_P(ChosenPictureTest, TakesTheListVisibleAtTheMomentOfTheCommand) {
  const QStringList pictures{QStringLiteral("/p/1.jpg"), QStringLiteral("/p/2.jpg"),
                             QStringLiteral("/p/3.jpg")};
  const QStringList found{QStringLiteral("/s/1.jpg"), QStringLiteral("/s/2.jpg")};
  const ChosenCase& c = GetParam();
  EXPECT_EQ(chosenPicture(pictures, found, c.searchVisible, c.fileMenuItem), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Positions, ChosenPictureTest,
    ::testing::Values(ChosenCase{"search list shown", true, 2, "/s/2.jpg"},
                      // The menu opened on the search list, which was hidden before the choice.
                      ChosenCase{"search list hidden since", false, 2, "/p/2.jpg"},
                      ChosenCase{"first", false, 1, "/p/1.jpg"}, ChosenCase{"last", false, 3, "/p/3.jpg"},
                      ChosenCase{"past the shorter search list", true, 3, ""},
                      ChosenCase{"never set", false, 0, ""}, ChosenCase{"negative", true, -1, ""}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& ch : name)
        if (ch == ' ') ch = '_';
      return name;
    });

// Opening a picture from the lists

struct OpenCase {
  bool doubleClickOpens;
  bool builtInViewer;
  int code;
  OpenAction expected;
};

class OpenPictureTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenPictureTest, OpensOnlyForTheRightGestureAndWhereTheOptionsSay) {
  const OpenCase& c = GetParam();
  const QStringList list{QStringLiteral("/a.jpg"), QStringLiteral("/b.jpg")};
  std::vector<int> viewer;
  QStringList shell;
  OpenPicture(list, 1, c.code, {c.doubleClickOpens, c.builtInViewer},
              {[&](int index) { viewer.push_back(index); },
               [&](const QString& path) {
                 shell.append(path);
                 return true;
               }});
  EXPECT_EQ(openPictureAction({c.doubleClickOpens, c.builtInViewer}, c.code), c.expected);
  EXPECT_EQ(viewer, c.expected == OpenAction::Viewer ? std::vector<int>{1} : std::vector<int>{});
  EXPECT_EQ(shell, c.expected == OpenAction::Shell ? QStringList{QStringLiteral("/b.jpg")} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Gestures, OpenPictureTest,
                         ::testing::Values(
                             // Single-click opening: the click opens, the double-click after it does not.
                             OpenCase{false, true, kSingleClickCode, OpenAction::Viewer},
                             OpenCase{false, true, kDoubleClickCode, OpenAction::None},
                             OpenCase{false, false, kSingleClickCode, OpenAction::Shell},
                             // Double-click opening.
                             OpenCase{true, true, kDoubleClickCode, OpenAction::Viewer},
                             OpenCase{true, false, kDoubleClickCode, OpenAction::Shell}));

TEST(OpenPictureTest, IndexOutsideTheListOpensNothing) {
  int opened = 0;
  const OpenPictureTargets targets{[&](int) { ++opened; }, [&](const QString&) { return ++opened > 0; }};
  for (int index : {-1, 1, 5})
    OpenPicture({QStringLiteral("/a.jpg")}, index, kSingleClickCode, {false, true}, targets);
  EXPECT_EQ(opened, 0);
}

// Opening with the desktop's handler, intercepted where Qt would run xdg-open

class OpenWithShellTest : public ::testing::Test {
 protected:
  void SetUp() override { QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder_, "open"); }
  void TearDown() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

  test::Sandbox sandbox_;
  test::UrlRecorder recorder_;
};

TEST_F(OpenWithShellTest, MissingFileIsFalseAndStartsNothing) {
  EXPECT_FALSE(OpenWithShell(sandbox_.filePath(QStringLiteral("gone.jpg"))));
  EXPECT_FALSE(OpenWithShell(QString()));
  EXPECT_TRUE(recorder_.urls.isEmpty());
}

TEST_F(OpenWithShellTest, ExistingFileGoesToTheHandlerAsItsExactUrl) {
  const QString plain = sandbox_.write(QStringLiteral("a b#1.jpg"), "x");
  ASSERT_TRUE(OpenWithShell(plain));
  // A name that is not UTF-8 keeps its bytes in the URL.
  const QByteArray oddBytes = QFile::encodeName(sandbox_.path()) + "/\xff.jpg";
  std::fclose(std::fopen(oddBytes.constData(), "w"));
  const QString odd = decodeFileName(oddBytes);
  ASSERT_TRUE(OpenWithShell(odd));
  ASSERT_EQ(recorder_.urls.size(), 2);
  EXPECT_EQ(recorder_.urls[0].toLocalFile(), plain);
  EXPECT_TRUE(recorder_.urls[1].toEncoded().endsWith("/%FF.jpg"))
      << recorder_.urls[1].toEncoded().constData();
}

// Copying a picture to the clipboard

class RecordingNotices : public NoticeSink {
 public:
  void ShowNotice(const QString& text, const QString& kind) override { said.append(text + u'|' + kind); }
  QStringList said;
};

// A JPEG whose EXIF orientation 6 says: turn a quarter clockwise to show it upright.
QByteArray jpegTurnedByExif(const QImage& stored) {
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  stored.save(&buffer, "JPEG", 95);
  QByteArray tiff("II*\0\x08\0\0\0", 8);
  const char entry[] = {1, 0, 0x12, 0x01, 3, 0, 1, 0, 0,
                        0, 6, 0,    0,    0, 0, 0, 0, 0};  // one entry, no next IFD
  tiff.append(entry, sizeof entry);
  QByteArray app1("\xFF\xE1\0\0Exif\0\0", 10);
  app1.append(tiff);
  qToBigEndian<quint16>(quint16(app1.size() - 2), app1.data() + 2);
  return jpeg.left(2) + app1 + jpeg.mid(2);
}

class CopyPictureTest : public ::testing::Test {
 protected:
  void SetUp() override { clipboard().setText(QStringLiteral("before")); }
  static QClipboard& clipboard() { return *QGuiApplication::clipboard(); }

  test::Sandbox sandbox_;
  RecordingNotices notices_;
};

// The clipboard holds a PNG made off the UI thread, under names that survive a clipboard manager
// keeping every format but the first (xfce4-clipman); nothing Qt would encode on the UI thread when
// another program asks (its image formats, 5 s for a 12-megapixel photo).
TEST_F(CopyPictureTest, UprightPictureOnTheClipboardAsAReadyPng) {
  QImage stored(40, 20, QImage::Format_RGB32);
  stored.fill(Qt::white);
  const QString path = sandbox_.write(QStringLiteral("turned.jpg"), jpegTurnedByExif(stored));

  const ClipboardPicture read = readClipboardPicture(path);
  ASSERT_FALSE(read.png.isEmpty());
  ASSERT_TRUE(putPictureOnClipboard(read, clipboard(), notices_));
  EXPECT_EQ(notices_.said, QStringList{QStringLiteral("置剪贴板完成|完成")});
  const QMimeData* data = clipboard().mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->formats().mid(1).contains(QStringLiteral("image/png")))
      << data->formats().join(u' ').toStdString();
  EXPECT_FALSE(data->hasImage());
  EXPECT_EQ(data->data(QStringLiteral("image/png")), read.png);
  EXPECT_EQ(QImage::fromData(data->data(QStringLiteral("image/png")), "PNG").size(), QSize(20, 40));
}

TEST_F(CopyPictureTest, UnreadableOrUndecodablePictureReportsFailureAndKeepsTheClipboard) {
  const QString cases[] = {sandbox_.filePath(QStringLiteral("missing.jpg")),
                           sandbox_.write(QStringLiteral("empty.jpg")),
                           sandbox_.write(QStringLiteral("text.jpg"), "not a picture at all"),
                           sandbox_.write(QStringLiteral("cut.jpg"), QByteArray("\xFF\xD8\xFF\xE0", 4)),
                           sandbox_.makeFolder(QStringLiteral("folder.jpg"))};
  for (const QString& path : cases) {
    EXPECT_FALSE(CopyPictureToClipboard(path, clipboard(), notices_)) << path.toStdString();
    EXPECT_EQ(notices_.said.takeLast(), QStringLiteral("置剪贴板失败|失败"));
    EXPECT_EQ(clipboard().text(), QStringLiteral("before"));
  }
}

}  // namespace
}  // namespace pimrose
