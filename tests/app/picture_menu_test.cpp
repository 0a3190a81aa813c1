#include <QBuffer>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <gtest/gtest.h>

#include "app/browser.h"
#include "app/menus.h"
#include "app/viewer.h"
#include "commands/command_table.h"
#include "commands/errands.h"
#include "notices/notices.h"
#include "platform/file_manager.h"
#include "platform/process_launcher.h"
#include "program_fixture.h"
#include "support/picture_factory.h"
#include "support/recording_file_manager.h"
#include "support/url_recorder.h"
#include "support/wait_for.h"
#include "ui/check_box.h"
#include "ui/edit_box.h"
#include "ui/group_box.h"
#include "ui/icon_list.h"
#include "ui/menu.h"

namespace pimrose {
namespace {

class RecordingLauncher : public ProcessLauncher {
 public:
  RecordingLauncher(QStringList* started, bool starts) : started_(started), starts_(starts) {}
  bool startDetached(const QString& program, const QStringList&) override {
    started_->append(program);
    return starts_;
  }

 private:
  QStringList* started_;
  bool starts_;
};

// The whole program with a listed folder of three pictures, every desktop service recorded.
class PictureMenuTest : public ProgramTest {
 protected:
  PictureMenuTest() : program_(recordingServices()) {
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened_, "open");
    program_.StartUp();
    for (const char* name : {"a.png", "b.png", "c.png"})
      sandbox_.write(QStringLiteral("pictures/") + QLatin1String(name), test::pngOf(QSize(30, 20)));
    program_.browser().lists().openDropped({sandbox_.filePath(QStringLiteral("pictures"))});
    EXPECT_TRUE(test::waitFor([this] { return program_.browser().lists().pictureList().size() == 3; }));
    paths_ = program_.browser().lists().pictureList();
  }
  ~PictureMenuTest() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

  ProgramServices recordingServices() {
    ProgramServices s = services();
    s.makeFileManager = [this] { return std::make_unique<test::RecordingFileManager>(&shownInFolder_); };
    s.makeProcessLauncher = [this] { return std::make_unique<RecordingLauncher>(&started_, launchWorks_); };
    return s;
  }

  ui::IconList* files() { return program_.windows().mainControls().图标列表框_文件; }
  ui::IconList* matches() { return program_.windows().mainControls().图标列表框_搜索; }

  // The user chooses an item of the menu that is up.
  void choose(const char16_t* title) {
    Menus& menus = program_.menus();
    ASSERT_TRUE(menus.activeMenu().has_value());
    const int index = static_cast<int>(menuTitles(*menus.activeMenu()).indexOf(QString::fromUtf16(title)));
    ASSERT_GE(index, 0);
    menus.menu()->choose(menus.menuItems()[index].id);
    settleBackgroundWork();
  }

  // Files are looked up off the UI thread; their answers come back through the event loop.
  static void settleBackgroundWork() {
    diskWorkPool().waitForDone();
    QCoreApplication::processEvents();
  }

  void setOptions(bool doubleClickOpens, bool builtInViewer) {
    program_.windows().mainControls().选择框_双击查看图片->setChecked(doubleClickOpens);
    program_.windows().mainControls().选择框_内置看图->setChecked(builtInViewer);
  }

  bool noticeShown(const QString& text) const {
    for (const ui::GroupBox* notice : program_.overlays().notices->shownNotices())
      if (notice->text() == text) return true;
    return false;
  }

  QStringList openedPaths() const {
    settleBackgroundWork();
    QStringList paths;
    for (const QUrl& url : opened_.urls) paths.append(url.toLocalFile());
    return paths;
  }

  bool launchWorks_ = true;
  QStringList started_;
  QList<QStringList> shownInFolder_;
  test::UrlRecorder opened_;
  QStringList paths_;  // the picture list, in its own order
  Program program_;
};

TEST_F(PictureMenuTest, TheItemMenuEventRemembersTheItemAndPopsThePictureMenu) {
  Q_EMIT files()->itemMenuRequested(2);
  EXPECT_EQ(program_.state().fileMenuItem, 3);
  EXPECT_EQ(program_.menus().activeMenu(), MenuKind::Picture);
  choose(u"打开文件");
  EXPECT_EQ(openedPaths(), QStringList{paths_[2]});
}

// The list is decided when the command runs: the search list only while it is still on screen.
TEST_F(PictureMenuTest, TheMenuOpenedOnTheSearchListActsOnTheListShownAtTheChoice) {
  program_.browser().search().searchPictures(QFileInfo(paths_[2]).fileName());
  ASSERT_TRUE(program_.browser().searchListShown());
  Q_EMIT matches()->itemMenuRequested(0);
  choose(u"打开文件");
  Q_EMIT matches()->itemMenuRequested(0);
  program_.browser().search().setSearchMode(false);
  choose(u"打开文件");
  EXPECT_EQ(openedPaths(), (QStringList{paths_[2], paths_[0]}));
}

TEST_F(PictureMenuTest, ShowInFolderHandsTheFilesUriToTheFileManager) {
  Q_EMIT files()->itemMenuRequested(1);
  choose(u"访问目录");
  ASSERT_TRUE(test::waitFor([this] { return !shownInFolder_.isEmpty(); }));
  ASSERT_EQ(shownInFolder_.size(), 1);
  EXPECT_EQ(shownInFolder_[0], QStringList{QUrl::fromLocalFile(paths_[1]).toString()});
}

TEST_F(PictureMenuTest, CopyPutsThePictureOnTheClipboard) {
  QGuiApplication::clipboard()->clear();
  Q_EMIT files()->itemMenuRequested(0);
  choose(u"置剪贴板");
  const auto png = [] { return QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("image/png")); };
  ASSERT_TRUE(test::waitFor([&] { return !png().isEmpty(); }));
  EXPECT_EQ(QImage::fromData(png(), "PNG").size(), QSize(30, 20));
}

// The file went after the list was made: the commands find nothing, and say so only for the copy.
TEST_F(PictureMenuTest, PictureGoneSinceTheListingIsNeitherShownNorCopied) {
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  ASSERT_TRUE(QFile::remove(paths_[2]));
  Q_EMIT files()->itemMenuRequested(2);
  choose(u"访问目录");
  Q_EMIT files()->itemMenuRequested(2);
  choose(u"置剪贴板");
  ASSERT_TRUE(test::waitFor([this] { return noticeShown(QStringLiteral("置剪贴板失败")); }));
  EXPECT_TRUE(shownInFolder_.isEmpty());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

// What the restart runs is our own executable and nothing else; it ends only once that started.
TEST_F(PictureMenuTest, RestartStartsOurOwnExecutableThenLetsGoAndEnds) {
  struct Case {
    bool starts;
    std::vector<int> exitCodes;
  };
  for (const Case& c : {Case{false, {}}, Case{true, {0}}}) {
    SCOPED_TRACE(c.starts);
    launchWorks_ = c.starts;
    program_.menus().popUp(MenuKind::Tray, QPoint(10, 10));
    choose(u"软件重启");
    EXPECT_EQ(started_.takeLast(), ownExecutablePath());
    EXPECT_TRUE(started_.isEmpty());
    EXPECT_EQ(channel_->released, c.starts);
    EXPECT_EQ(exitCodes_, c.exitCodes);
  }
}

enum class Gesture { Click, DoubleClick, Enter };

struct GestureCase {
  const char* name;
  bool doubleClickOpens;
  bool builtInViewer;
  Gesture gesture;
  bool viewerOpens;  // else: opened with the desktop, or nothing
  bool shellOpens;
};

TEST_F(PictureMenuTest, ClicksAndDoubleClicksOpenAsTheOptionsSay) {
  const GestureCase cases[] = {
      {"single-click opening: click opens", false, true, Gesture::Click, true, false},
      {"single-click opening: double-click does not open again", false, true, Gesture::DoubleClick, false,
       false},
      {"double-click opening: click does not open", true, true, Gesture::Click, false, false},
      {"double-click opening: double-click opens", true, true, Gesture::DoubleClick, true, false},
      {"desktop handler", true, false, Gesture::DoubleClick, false, true},
      {"single-click opening: Enter opens", false, true, Gesture::Enter, true, false},
      {"double-click opening: Enter opens", true, true, Gesture::Enter, true, false},
      {"desktop handler: Enter opens", false, false, Gesture::Enter, false, true},
  };
  for (const GestureCase& c : cases) {
    SCOPED_TRACE(c.name);
    program_.browser().viewer().close();
    opened_.urls.clear();
    setOptions(c.doubleClickOpens, c.builtInViewer);
    switch (c.gesture) {
      case Gesture::Click:
        Q_EMIT files()->itemClicked(1);
        break;
      case Gesture::DoubleClick:
        Q_EMIT files()->itemDoubleClicked(1);
        break;
      case Gesture::Enter:
        Q_EMIT files()->itemActivated(1);
        break;
    }
    EXPECT_EQ(program_.browser().viewer().isOpen(), c.viewerOpens);
    if (c.viewerOpens) {
      EXPECT_EQ(program_.browser().viewer().shownIndex(), 1);
    }
    EXPECT_EQ(openedPaths(), c.shellOpens ? QStringList{paths_[1]} : QStringList{});
  }
  // The click shows the details line of its item whatever it opens (read off the UI thread).
  EXPECT_TRUE(test::waitFor([&] {
    return program_.windows().mainControls().标签_提示文本->text().contains(QFileInfo(paths_[1]).fileName());
  }));
}

}  // namespace
}  // namespace pimrose
