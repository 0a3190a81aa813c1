#include <QKeyEvent>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "app/viewer.h"
#include "browsing/picture_details.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "support/wait_for.h"
#include "ui/controls.h"

namespace pimrose {
namespace {

// The main window's viewer controls driven by a Viewer over the file icon list.
class ViewerTest : public ::testing::Test {
 protected:
  explicit ViewerTest(ViewerDecodeWork work = decodeForViewer)
      : window_(ui::loadWindow(ui::mainWindowDefinition())) {
    window_->resize(1200, 700);
    window_->show();
    list_ = window_->control<ui::IconList>(QStringLiteral("图标列表框_文件"));
    frame_ = window_->control<ui::PictureBox>(QStringLiteral("图片框_图片容器"));
    box_ = window_->control<ui::PictureBox>(QStringLiteral("图片框_图片文件"));
    panel_ = window_->control<ui::WindowSkin>(QStringLiteral("组件_图片背景"));
    viewer_ = std::make_unique<Viewer>(
        Viewer::Parts{panel_, frame_, box_,
                      [this] {
                        return ViewerList{list_, paths_};
                      },
                      [this](int index) { details_ << pictureDetailsLineForItem(paths_, index); }},
        std::move(work));
  }

  void setPaths(const QStringList& paths) {
    paths_ = paths;
    list_->resetItems(paths);
  }

  // Opens an item and waits until its picture is in the box.
  void openAndWait(int index) {
    QSignalSpy shown(viewer_.get(), &Viewer::pictureShown);
    viewer_->open(index);
    ASSERT_TRUE(test::waitFor([&] { return !shown.isEmpty(); }));
  }

  QColor shownColour() const { return box_->image().pixelColor(box_->image().rect().center()); }

  test::Sandbox sandbox_;
  std::unique_ptr<ui::Window> window_;
  ui::IconList* list_ = nullptr;
  ui::PictureBox* frame_ = nullptr;
  ui::PictureBox* box_ = nullptr;
  ui::WindowSkin* panel_ = nullptr;
  QStringList paths_;
  QStringList details_;
  std::unique_ptr<Viewer> viewer_;
};

QString writeJpeg(const test::Sandbox& sandbox, const QString& name, QColor colour, QSize size = {320, 240}) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return sandbox.write(name, test::jpegOf(image));
}

TEST_F(ViewerTest, ShowsAnExifRotatedPictureUpright) {
  // Stored 400 x 200 with orientation 6 (a quarter turn clockwise): upright it is 200 x 400, and
  // the stored bottom-left quadrant (blue) becomes the top-left one.
  const QByteArray jpeg = test::withExif(test::jpegOf(test::quadrants(400, 200)), 6);
  setPaths({sandbox_.write(QStringLiteral("side.jpg"), jpeg)});
  openAndWait(0);
  EXPECT_TRUE(viewer_->isOpen());
  EXPECT_EQ(viewer_->pictureSize(), QSize(200, 400));
  const QImage shown = box_->image();
  ASSERT_FALSE(shown.isNull());
  EXPECT_LT(shown.width(), shown.height());
  const QColor topLeft = shown.pixelColor(shown.width() / 4, shown.height() / 4);
  EXPECT_GT(topLeft.blue(), 200);
  EXPECT_LT(topLeft.red(), 60);
}

TEST_F(ViewerTest, OpensFittedToTheFrameAtTheFramesResolution) {
  setPaths({writeJpeg(sandbox_, QStringLiteral("big.jpg"), Qt::darkGreen, {3200, 2400})});
  openAndWait(0);
  EXPECT_EQ(box_->geometry(), QRect(QPoint(0, 0), frame_->size()));
  // Decoded to fit the frame, not at 3200 x 2400.
  EXPECT_LE(box_->image().width(), frame_->width());
  EXPECT_LE(box_->image().height(), frame_->height());
  EXPECT_TRUE(box_->image().width() == frame_->width() || box_->image().height() == frame_->height());
}

TEST_F(ViewerTest, WheelStopsAtBothEndsAndShowsTheDetailsLine) {
  setPaths({writeJpeg(sandbox_, QStringLiteral("a.jpg"), Qt::red),
            writeJpeg(sandbox_, QStringLiteral("b.jpg"), Qt::green),
            writeJpeg(sandbox_, QStringLiteral("c.jpg"), Qt::blue)});
  openAndWait(2);
  viewer_->step(-120);  // down on the last item
  EXPECT_EQ(list_->currentIndex(), 2);
  EXPECT_TRUE(test::waitFor([&] { return viewer_->shownIndex() == 2 && shownColour().blue() > 200; }));
  ASSERT_FALSE(details_.isEmpty());
  EXPECT_TRUE(details_.last().contains(QStringLiteral("3/3"))) << details_.last().toStdString();

  const QRect kept(-40, 10, 500, 300);
  box_->setGeometry(kept);
  viewer_->step(120);
  viewer_->step(120);
  viewer_->step(120);  // up on the first item
  EXPECT_EQ(list_->currentIndex(), 0);
  EXPECT_TRUE(test::waitFor([&] { return shownColour().red() > 200; }));
  EXPECT_EQ(box_->geometry(), kept);
  EXPECT_TRUE(details_.last().contains(QStringLiteral("1/3"))) << details_.last().toStdString();
}

// Closing gives the keyboard back to the thumbnails it came from.
TEST_F(ViewerTest, KeysStepGoToTheEndsAndClose) {
  setPaths({writeJpeg(sandbox_, QStringLiteral("a.jpg"), Qt::red),
            writeJpeg(sandbox_, QStringLiteral("b.jpg"), Qt::green),
            writeJpeg(sandbox_, QStringLiteral("c.jpg"), Qt::blue)});
  window_->activateWindow();
  list_->view()->setFocus();
  ASSERT_TRUE(test::waitFor([&] { return list_->view()->hasFocus(); }));
  openAndWait(0);
  const struct {
    Qt::Key key;
    int expected;
  } presses[] = {{Qt::Key_Right, 1}, {Qt::Key_PageDown, 2}, {Qt::Key_PageDown, 2}, {Qt::Key_Left, 1},
                 {Qt::Key_Home, 0},  {Qt::Key_PageUp, 0},   {Qt::Key_End, 2}};
  for (const auto& press : presses) {
    QTest::keyClick(box_, press.key);
    EXPECT_EQ(list_->currentIndex(), press.expected) << press.key;
  }
  QTest::keyClick(box_, Qt::Key_Escape);
  EXPECT_FALSE(viewer_->isOpen());
  EXPECT_TRUE(panel_->isHidden());
  EXPECT_TRUE(list_->view()->hasFocus()) << "the keyboard goes back to the thumbnails";
}

// F11 takes the window full screen with the viewer covering it; Escape first gives the window
// back, then closes; closing some other way while full screen leaves it too.
TEST_F(ViewerTest, F11GoesFullScreenAndEscapeLeavesItBeforeClosing) {
  setPaths({writeJpeg(sandbox_, QStringLiteral("a.jpg"), Qt::red)});
  openAndWait(0);
  const QRect windowed = panel_->geometry();
  QTest::keyClick(box_, Qt::Key_F11);
  EXPECT_TRUE(window_->isFullScreen());
  EXPECT_TRUE(test::waitFor([&] { return panel_->geometry() == window_->rect(); }));
  EXPECT_EQ(frame_->size(), window_->size());
  EXPECT_EQ(box_->geometry(), frame_->rect()) << "a fitted picture stays fitted";

  QTest::keyClick(box_, Qt::Key_Escape);
  EXPECT_FALSE(window_->isFullScreen());
  EXPECT_TRUE(viewer_->isOpen());
  EXPECT_TRUE(test::waitFor([&] { return panel_->geometry() == windowed; }));
  QTest::keyClick(box_, Qt::Key_Escape);
  EXPECT_FALSE(viewer_->isOpen());

  openAndWait(0);
  QTest::keyClick(box_, Qt::Key_F11);
  QTest::keyClick(box_, Qt::Key_F11);
  EXPECT_FALSE(window_->isFullScreen()) << "F11 toggles";
  QTest::keyClick(box_, Qt::Key_F11);
  viewer_->close();
  EXPECT_FALSE(window_->isFullScreen());
  EXPECT_TRUE(test::waitFor([&] { return panel_->geometry() == windowed; }));
}

TEST_F(ViewerTest, PictureThatDoesNotDecodeShowsEmptyWithZeroSize) {
  setPaths({writeJpeg(sandbox_, QStringLiteral("good.jpg"), Qt::red),
            sandbox_.write(QStringLiteral("broken.jpg"), QByteArray("\xFF\xD8\xFF\xE0 not really", 16))});
  openAndWait(0);
  QSignalSpy shown(viewer_.get(), &Viewer::pictureShown);
  viewer_->step(-120);
  ASSERT_TRUE(test::waitFor([&] { return !shown.isEmpty() && viewer_->shownIndex() == 1; }));
  EXPECT_TRUE(box_->image().isNull());
  EXPECT_EQ(viewer_->pictureSize(), QSize(0, 0));
  EXPECT_TRUE(details_.last().contains(QStringLiteral("0*0"))) << details_.last().toStdString();
  const QRect before = box_->geometry();
  viewer_->toggleSize();  // measures 0 x 0: nothing to toggle
  EXPECT_EQ(box_->geometry(), before);
}

// An animated GIF plays from the file: its second frame replaces the first, and it goes on
// changing until a step away stops it; stepping back starts it again.
TEST_F(ViewerTest, AnimatedGifPlaysUntilAStepStopsIt) {
  const QVector<QColor> palette = {Qt::red, Qt::blue};
  const test::GifFrame red{QRect(0, 0, 64, 48), QVector<quint8>(64 * 48, 0), false, -1, 0, 2};
  const test::GifFrame blue{QRect(0, 0, 64, 48), QVector<quint8>(64 * 48, 1), false, -1, 0, 2};
  setPaths({sandbox_.write(QStringLiteral("moving.gif"), test::gifOf(QSize(64, 48), palette, {red, blue}, 0)),
            writeJpeg(sandbox_, QStringLiteral("still.jpg"), Qt::green)});
  openAndWait(0);
  EXPECT_TRUE(viewer_->isPlaying());
  for (const QColor colour : {QColor(Qt::blue), QColor(Qt::red), QColor(Qt::blue)})
    ASSERT_TRUE(test::waitFor([&] { return shownColour() == colour; })) << colour.name().toStdString();
  QSignalSpy shown(viewer_.get(), &Viewer::pictureShown);
  viewer_->step(-120);
  EXPECT_FALSE(viewer_->isPlaying());
  ASSERT_TRUE(test::waitFor([&] { return !shown.isEmpty(); }));
  EXPECT_NEAR(shownColour().green(), 255, 8);
  EXPECT_FALSE(viewer_->isPlaying());
  viewer_->step(120);
  EXPECT_TRUE(viewer_->isPlaying());
  ASSERT_TRUE(test::waitFor([&] { return shownColour() == QColor(Qt::blue); }));
  viewer_->close();
  EXPECT_FALSE(viewer_->isPlaying());
}

// A stand-in decoder: pictures of a fixed size, coloured by the call number, with a gate
// that holds a decode until the test lets it go.
struct Gate {
  std::mutex mutex;
  std::condition_variable opened;
  bool closed = false;
  int started = 0;
  int calls = 0;
  std::vector<QSize> boxes;
};

DecodedView gatedWork(Gate& gate, const ViewerRequest& request, QSize picture) {
  int call = 0;
  {
    std::unique_lock lock(gate.mutex);
    ++gate.started;
    gate.opened.wait(lock, [&] { return !gate.closed; });
    call = ++gate.calls;
    gate.boxes.push_back(request.box);
  }
  QImage image(picture.scaled(request.box, Qt::KeepAspectRatio).boundedTo(picture), QImage::Format_RGB32);
  image.fill(QColor::fromHsv((call * 90) % 360, 255, 255));
  return {request, image, picture};
}

class GatedViewerTest : public ViewerTest {
 protected:
  GatedViewerTest()
      : ViewerTest(
            [this](const ViewerRequest& request) { return gatedWork(gate_, request, QSize(4000, 3000)); }) {}
  // The viewer's decoder thread may still be inside the gate: it goes before the gate does.
  ~GatedViewerTest() override {
    setGate(false);
    viewer_.reset();
  }

  void setGate(bool closed) {
    {
      std::lock_guard lock(gate_.mutex);
      gate_.closed = closed;
    }
    gate_.opened.notify_all();
  }
  int calls() {
    std::lock_guard lock(gate_.mutex);
    return gate_.calls;
  }
  // Waits until a decode is held at the gate (it has left the queue and runs).
  bool decodeHeld() {
    return test::waitFor([this] {
      std::lock_guard lock(gate_.mutex);
      return gate_.started > gate_.calls;
    });
  }

  Gate gate_;
};

TEST_F(GatedViewerTest, ResultOfAnEarlierOpeningIsNeverShown) {
  setPaths({QStringLiteral("/pictures/a.jpg")});
  setGate(true);
  viewer_->open(0);  // the first decode waits at the gate
  ASSERT_TRUE(decodeHeld());
  viewer_->open(0);  // the same picture opened again: a new session
  QSignalSpy shown(viewer_.get(), &Viewer::pictureShown);
  setGate(false);
  ASSERT_TRUE(test::waitFor([&] { return !shown.isEmpty(); }));
  EXPECT_EQ(calls(), 2);
  EXPECT_EQ(shown.size(), 1);
  EXPECT_EQ(shownColour().rgb(), QColor::fromHsv(180, 255, 255).rgb());  // the second call's picture
}

TEST_F(GatedViewerTest, ClosedViewerIgnoresLateResults) {
  setPaths({QStringLiteral("/pictures/a.jpg")});
  setGate(true);
  viewer_->open(0);
  ASSERT_TRUE(decodeHeld());
  QSignalSpy shown(viewer_.get(), &Viewer::pictureShown);
  viewer_->close();
  setGate(false);
  ASSERT_TRUE(test::waitFor([&] { return calls() == 1; }));
  QCoreApplication::processEvents();
  EXPECT_TRUE(shown.isEmpty());
  EXPECT_TRUE(box_->image().isNull());
}

TEST_F(GatedViewerTest, StepToADecodedNeighbourShowsItAtOnce) {
  setPaths({QStringLiteral("/p/a.jpg"), QStringLiteral("/p/b.jpg"), QStringLiteral("/p/c.jpg")});
  openAndWait(1);
  ASSERT_TRUE(test::waitFor([&] { return calls() == 3; }));  // b, then its neighbours c and a
  QCoreApplication::processEvents();
  QSignalSpy shown(viewer_.get(), &Viewer::pictureShown);
  viewer_->step(-120);
  // No event served in between: the neighbour came from what was decoded ahead.
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown.first().first().toInt(), 2);
}

TEST_F(GatedViewerTest, ToggleGoesToNaturalSizeAndDecodesItThenBack) {
  setPaths({QStringLiteral("/p/big.jpg")});
  frame_->resize(800, 600);
  openAndWait(0);
  EXPECT_EQ(box_->geometry(), QRect(0, 0, 800, 600));
  QTest::mouseDClick(box_, Qt::LeftButton);
  EXPECT_EQ(box_->geometry(), QRect(-1600, 0, 4000, 3000));
  EXPECT_TRUE(test::waitFor([&] { return box_->image().size() == QSize(4000, 3000); }));
  viewer_->toggleSize();
  EXPECT_EQ(box_->geometry(), QRect(0, 0, 800, 600));
  EXPECT_TRUE(test::waitFor([&] { return box_->image().size() == QSize(800, 600); }));
}

TEST_F(GatedViewerTest, FittedPictureFollowsTheFrameAndANaturalOneStaysPut) {
  setPaths({QStringLiteral("/p/big.jpg")});
  frame_->resize(800, 600);
  openAndWait(0);
  frame_->resize(1000, 500);
  EXPECT_EQ(box_->geometry(), QRect(0, 0, 1000, 500));
  EXPECT_TRUE(test::waitFor([&] { return box_->image().size() == QSize(666, 500); }));
  viewer_->toggleSize();
  frame_->resize(800, 600);
  EXPECT_EQ(box_->geometry(), QRect(-1500, 0, 4000, 3000));
}

TEST_F(GatedViewerTest, RightClickClosesAndHidingThePanelEndsTheSession) {
  setPaths({QStringLiteral("/p/a.jpg")});
  openAndWait(0);
  QTest::mouseClick(box_, Qt::RightButton);
  EXPECT_FALSE(viewer_->isOpen());
  viewer_->step(-120);  // closed: nothing steps
  EXPECT_EQ(viewer_->shownIndex(), -1);
}

}  // namespace
}  // namespace pimrose
