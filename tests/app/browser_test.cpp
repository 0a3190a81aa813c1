#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <vector>

#include "app/browser.h"
#include "browsing/drop_receiver.h"
#include "support/sandbox.h"
#include "support/wait_for.h"
#include "ui/controls.h"
#include "ui/icon_list_model.h"

namespace pimrose {
namespace {

// The main window and its browser, with thumbnails made by a stand-in that answers a picture
// as tall as the file name's length, so tests can tell which file an item shows.
class BrowserTest : public ::testing::Test {
 protected:
  BrowserTest()
      : window_(ui::loadWindow(ui::mainWindowDefinition())),
        browser_(ui::resolveControls<ui::MainWindowControls>(*window_),
                 [this](const LoadRequest& request) { return fakeThumbnail(request); }) {
    window_->resize(1200, 700);
    receiver_.acceptDrops(
        window_.get(), [this](const QString& path) { browser_.queueDroppedPath(path); },
        [this](bool on) { window_->setAcceptDrops(on); });
    browser_.InitLoading();
    window_->show();
  }

  // A name with "camera" in it stands in with a blue preview first, then waits for cameraGate_ to
  // make its final icon; "broken" then fails.
  LoadedThumbnail fakeThumbnail(const LoadRequest& request) {
    ++loads_;
    LoadedThumbnail result;
    result.height = static_cast<int>(QFileInfo(request.path).fileName().size());
    result.sourceSize = QSize(request.iconSize, result.height);
    result.image = QImage(request.iconSize, result.height, QImage::Format_RGB32);
    result.image.fill(Qt::darkCyan);
    if (!request.path.contains(u"camera")) return result;
    LoadedThumbnail preview = result;
    preview.image = QImage(request.iconSize, result.height, QImage::Format_RGB32);
    preview.image.fill(Qt::blue);
    preview.provisional = true;
    const bool broken = request.path.contains(u"broken");
    preview.makeFinal = [this, result, broken] {
      std::lock_guard pass(cameraGate_);
      return broken ? LoadedThumbnail{QImage(), result.height, result.sourceSize, QStringLiteral("damaged")}
                    : result;
    };
    return preview;
  }

  // A drop of local paths as a file manager makes it, straight into the window.
  void drop(const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_.get(), &enter);
    QDropEvent dropEvent(QPointF(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_.get(), &dropEvent);
  }

  template <class T>
  T* control(const char* name) const {
    return window_->control<T>(QString::fromUtf8(name));
  }
  ui::IconList* files() const { return control<ui::IconList>("图标列表框_文件"); }
  ui::IconList* matches() const { return control<ui::IconList>("图标列表框_搜索"); }

  test::Sandbox sandbox_;
  std::unique_ptr<ui::Window> window_;
  std::atomic<int> loads_ = 0;
  std::mutex cameraGate_;
  Browser browser_;
  DropReceiver receiver_;
};

TEST_F(BrowserTest, DroppedFolderFillsTheFileListReversedAndHidesTheLogo) {
  sandbox_.write(QStringLiteral("photos/a.jpg"));
  sandbox_.write(QStringLiteral("photos/b.png"));
  sandbox_.write(QStringLiteral("photos/c.gif"));
  sandbox_.write(QStringLiteral("photos/notes.txt"));
  browser_.queueDroppedPath(sandbox_.filePath(QStringLiteral("photos")));
  ASSERT_TRUE(test::waitFor([&] { return files()->itemCount() == 3; }));
  EXPECT_TRUE(files()->itemPath(0).endsWith(u"c.gif"));
  EXPECT_TRUE(files()->itemPath(2).endsWith(u"a.jpg"));
  EXPECT_FALSE(control<ui::PictureBox>("图片框_logo居中")->isVisible());
  EXPECT_EQ(browser_.lists().openedPaths(), QStringList{sandbox_.filePath(QStringLiteral("photos"))});
}

TEST_F(BrowserTest, DropEventsReachTheQueueAndTwoCloseDropsOpenTogether) {
  sandbox_.write(QStringLiteral("one/a.jpg"));
  sandbox_.write(QStringLiteral("two/b.jpg"));
  auto* dropTimer = control<ui::Timer>("时钟_拖放路径");
  EXPECT_FALSE(dropTimer->isRunning()) << "nothing dropped: the drop timer sleeps";
  drop({sandbox_.filePath(QStringLiteral("one"))});
  EXPECT_TRUE(dropTimer->isRunning());
  // No turn of the event loop in between: the timer cannot have fired, so this drop is close.
  drop({sandbox_.filePath(QStringLiteral("two"))});
  ASSERT_TRUE(test::waitFor([&] { return files()->itemCount() == 2; }));
  EXPECT_EQ(browser_.lists().openedPaths().size(), 2);
  EXPECT_TRUE(files()->itemPath(0).endsWith(u"two/b.jpg"));
  EXPECT_FALSE(dropTimer->isRunning()) << "the batch opened: the drop timer sleeps again";
}

// A drop reports its paths one by one; the batch is handed to the walker once per drop, so the
// work per path is the same at 50,000 and 100,000 paths. (Every path used to start the listing of
// all the paths queued before it: a drop of 100,000 took 98 s of the UI thread.)
TEST_F(BrowserTest, WorkPerDroppedPathDoesNotGrowWithTheDrop) {
  std::vector<double> perPath;
  for (const int size : {50'000, 100'000}) {
    QByteArray uriList;
    for (int i = 0; i < size; ++i) uriList += "file:///nowhere/IMG_" + QByteArray::number(i) + ".jpg\r\n";
    QMimeData mime;
    mime.setData(QStringLiteral("text/uri-list"), uriList);
    const quint64 before = browser_.lists().requestedPaths();
    QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_.get(), &enter);
    QDropEvent dropEvent(QPointF(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_.get(), &dropEvent);
    ASSERT_TRUE(test::waitFor(
        [&] { return browser_.drops().state() == DropQueue::State::Idle && !browser_.lists().isListing(); },
        60'000));
    EXPECT_EQ(browser_.lists().openedPaths().size(), size);
    perPath.push_back(double(browser_.lists().requestedPaths() - before) / size);
  }
  EXPECT_LE(perPath[1], perPath[0]) << "the work per path grew with the drop";
  EXPECT_LE(perPath[1], 2.0) << "prepared once and, at most, opened once";
}

TEST_F(BrowserTest, DroppingOnlyFilesKeepsTheListButReplacesTheOpenedPaths) {
  sandbox_.write(QStringLiteral("photos/a.jpg"));
  browser_.queueDroppedPath(sandbox_.filePath(QStringLiteral("photos")));
  ASSERT_TRUE(test::waitFor([&] { return files()->itemCount() == 1; }));
  const QString loose = sandbox_.write(QStringLiteral("loose.png"));
  browser_.queueDroppedPath(loose);
  ASSERT_TRUE(test::waitFor([&] { return browser_.lists().openedPaths() == QStringList{loose}; }));
  ASSERT_TRUE(test::waitFor([&] { return !browser_.lists().isListing(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(files()->itemCount(), 1);
  EXPECT_TRUE(control<ui::PictureBox>("图片框_logo居中")->isHidden());
}

TEST_F(BrowserTest, ShownItemsGetTheirThumbnails) {
  for (int i = 0; i < 12; ++i) sandbox_.write(QStringLiteral("p/%1.png").arg(i, 3, 10, QLatin1Char('0')));
  browser_.queueDroppedPath(sandbox_.filePath(QStringLiteral("p")));
  ASSERT_TRUE(test::waitFor([&] { return files()->itemCount() == 12; }));
  ASSERT_TRUE(test::waitFor([&] { return files()->itemHasIcon(0); }));
  EXPECT_EQ(files()->itemSize(0), QStringLiteral("011.png").size());
}

// What the list shows after each delivery: the preview, then the final icon, or no icon when the
// picture's own pixels fail after a good preview.
TEST_F(BrowserTest, ACameraPhotoShowsItsPreviewUntilTheFinalIconReplacesIt) {
  sandbox_.write(QStringLiteral("c/camera.jpg"));
  sandbox_.write(QStringLiteral("c/camera-broken.jpg"));
  std::map<QString, QList<QRgb>> shown;  // per file, the centre pixel after each delivery (0: no icon)
  int finals = 0;
  std::unique_lock hold(cameraGate_);
  // Connected after the browser's own slot, so it sees what the browser made of the delivery.
  QObject::connect(&browser_.loader(), &ThumbnailLoader::thumbnailReady, window_.get(),
                   [&](const ThumbnailDelivery& d) {
                     const QImage& icon = files()->model()->icon(d.index);
                     const QString name = QFileInfo(files()->itemPath(d.index)).fileName();
                     shown[name].append(icon.isNull() ? 0 : icon.pixel(icon.width() / 2, icon.height() / 2));
                     if (!d.provisional) ++finals;
                   });
  browser_.queueDroppedPath(sandbox_.filePath(QStringLiteral("c")));
  ASSERT_TRUE(test::waitFor([&] { return shown.size() == 2; }));
  hold.unlock();
  ASSERT_TRUE(test::waitFor([&] { return finals == 2; }));
  const QColor blue(Qt::blue), cyan(Qt::darkCyan);
  EXPECT_EQ(shown[QStringLiteral("camera.jpg")], (QList<QRgb>{blue.rgb(), cyan.rgb()}));
  EXPECT_EQ(shown[QStringLiteral("camera-broken.jpg")], (QList<QRgb>{blue.rgb(), 0}));
}

TEST_F(BrowserTest, EnterInTheSearchBoxSearchesAndTheButtonEndsTheSearch) {
  sandbox_.write(QStringLiteral("trip/img_1.png"));
  sandbox_.write(QStringLiteral("trip/IMG_2.png"));
  sandbox_.write(QStringLiteral("home/x.gif"));
  browser_.queueDroppedPath(sandbox_.filePath(QStringLiteral("trip")));
  browser_.queueDroppedPath(sandbox_.filePath(QStringLiteral("home")));
  ASSERT_TRUE(test::waitFor([&] { return files()->itemCount() == 3; }));

  auto* box = control<ui::EditBox>("编辑框_搜索");
  box->setText(QStringLiteral("IMG"));
  QTest::keyClick(box->lineEdit(), Qt::Key_A);  // typing does not search
  box->setText(QStringLiteral("IMG"));
  EXPECT_FALSE(browser_.search().searchMode());
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  ASSERT_TRUE(browser_.search().searchMode());
  EXPECT_EQ(matches()->itemCount(), 1);
  EXPECT_TRUE(matches()->isVisible());
  EXPECT_FALSE(files()->isVisible());
  // The details line is read off the UI thread and arrives a moment later.
  EXPECT_TRUE(test::waitFor([&] {
    return control<ui::EditBox>("标签_提示文本")->text().contains(u"IMG_2.png");
  })) << control<ui::EditBox>("标签_提示文本")->text().toStdString();

  box->setText(QStringLiteral("trip"));  // a folder name matches every picture in it
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(matches()->itemCount(), 2);

  Q_EMIT control<ui::ImageButton>("超级按钮_搜索")->clicked();
  EXPECT_FALSE(browser_.search().searchMode());
  EXPECT_TRUE(files()->isVisible());
  EXPECT_EQ(box->text(), u"") << "the ended search's text is not kept";

  // A search that finds nothing never began: its text stays to be corrected.
  box->setText(QStringLiteral("nothing like this"));
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  EXPECT_FALSE(browser_.search().searchMode());
  EXPECT_EQ(box->text(), u"nothing like this");
}

TEST_F(BrowserTest, SliderChangeResizesItemsAndListsTheFoldersAgain) {
  sandbox_.write(QStringLiteral("p/a.jpg"));
  browser_.queueDroppedPath(sandbox_.filePath(QStringLiteral("p")));
  ASSERT_TRUE(test::waitFor([&] { return files()->itemCount() == 1; }));
  sandbox_.write(QStringLiteral("p/b.jpg"));
  auto* slider = control<ui::Slider>("滑块条_图标大小");
  slider->setPosition(10);
  Q_EMIT slider->positionChanged(10);
  ASSERT_TRUE(test::waitFor([&] { return files()->itemCount() == 2; }));
  EXPECT_EQ(files()->iconWidth(), 200);
  EXPECT_EQ(files()->iconHeight(), 400);
  EXPECT_FALSE(control<ui::WindowSkin>("组件_图片背景")->isVisible());
}

TEST_F(BrowserTest, ClickedItemShowsItsDetailsOnceRead) {
  sandbox_.write(QStringLiteral("d/one.png"));
  browser_.queueDroppedPath(sandbox_.filePath(QStringLiteral("d")));
  ASSERT_TRUE(test::waitFor([&] { return files()->itemCount() == 1; }));
  Q_EMIT files()->itemClicked(0);
  auto* status = control<ui::EditBox>("标签_提示文本");
  ASSERT_TRUE(test::waitFor([&] { return status->text().startsWith(QStringLiteral("位置：1/1")); }));
  EXPECT_TRUE(status->text().endsWith(sandbox_.filePath(QStringLiteral("d/one.png"))));
}

// A walk held back until the test lets it finish, as on a slow disk.
TEST(BrowserProgressTest, LongListingShowsItsCountInTheStatusLineUntilTheListAppears) {
  test::Sandbox sandbox;
  for (const char* name : {"t/a/1.jpg", "t/a/2.jpg", "t/b/3.png"}) sandbox.write(QString::fromUtf8(name));
  std::atomic<bool> released = false;
  auto window = ui::loadWindow(ui::mainWindowDefinition());
  const auto controls = ui::resolveControls<ui::MainWindowControls>(*window);
  Browser browser(
      controls, [](const LoadRequest&) { return LoadedThumbnail{}; },
      [&released](const QStringList& paths, const CancelFlag* cancel, FoundCount* found, const QString&,
                  const FirstPictures&, WalkSummary*) {
        QStringList pictures = listPictures(paths, cancel, found);
        while (!released && !*cancel) QThread::msleep(1);
        return pictures;
      });
  browser.InitLoading();
  auto* status = controls.标签_提示文本;
  status->setText(QStringLiteral("opening line"));
  browser.lists().openDropped({sandbox.filePath(QStringLiteral("t"))});
  ASSERT_TRUE(test::waitFor([&] { return status->text() == QStringLiteral("正在搜索图片，已找到 3 张……"); }))
      << status->text().toStdString();
  EXPECT_EQ(controls.图标列表框_文件->itemCount(), 0);
  released = true;
  ASSERT_TRUE(test::waitFor([&] { return controls.图标列表框_文件->itemCount() == 3; }));
  EXPECT_EQ(status->text(), QStringLiteral("opening line"));
}

}  // namespace
}  // namespace pimrose
