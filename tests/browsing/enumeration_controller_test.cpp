#include <gtest/gtest.h>

#include "browsing/drop_queue.h"
#include "browsing/enumeration_controller.h"
#include "support/loading_signal_recorder.h"
#include "support/sandbox.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

struct ControllerFixture : ::testing::Test {
  test::Sandbox box;
  EnumerationController controller;
  test::SignalRecorder<OpenedList> replaced{&controller, &EnumerationController::pictureListReplaced};
  test::SignalRecorder<bool> nothing{&controller, &EnumerationController::openFoundNothing};

  OpenedList lastList() const { return replaced.last(); }
  bool waitIdle() {
    return test::waitFor([this] { return !controller.isListing(); });
  }
};

TEST_F(ControllerFixture, DroppedFoldersOpenReversedAndHideTheLogo) {
  box.write("a/a.jpg");
  box.write("a/b.png");
  box.write("a/c.gif");
  EXPECT_FALSE(controller.logoHidden());
  controller.openDropped({box.filePath("a")});
  ASSERT_TRUE(waitIdle());
  ASSERT_EQ(replaced.size(), 1);
  const OpenedList list = lastList();
  EXPECT_EQ(list.pictures,
            (QStringList{box.filePath("a/c.gif"), box.filePath("a/b.png"), box.filePath("a/a.jpg")}));
  EXPECT_EQ(list.itemSize, QSize(150, 300));
  EXPECT_EQ(list.generation, controller.generation());
  EXPECT_EQ(controller.pictureList(), list.pictures);
  EXPECT_TRUE(controller.logoHidden());
}

TEST_F(ControllerFixture, DropOfFilesOnlyKeepsTheListButReplacesOpenedPaths) {
  box.write("a/x.jpg");
  const QString file = box.write("lone.jpg");
  controller.openDropped({box.filePath("a")});
  ASSERT_TRUE(waitIdle());
  const quint64 generation = controller.generation();
  controller.openDropped({file});
  ASSERT_TRUE(waitIdle());
  EXPECT_EQ(replaced.size(), 1);
  ASSERT_EQ(nothing.size(), 1);
  EXPECT_FALSE(nothing.last());
  EXPECT_EQ(controller.pictureList(), QStringList{box.filePath("a/x.jpg")});
  EXPECT_EQ(controller.generation(), generation);
  EXPECT_EQ(controller.openedPaths(), QStringList{file});
}

TEST_F(ControllerFixture, NewerOpenSupersedesAnUnfinishedOne) {
  box.write("old/o.jpg");
  box.write("new/n.jpg");
  controller.openDropped({box.filePath("old")});
  controller.openDropped({box.filePath("new")});
  ASSERT_TRUE(waitIdle());
  ASSERT_EQ(replaced.size(), 1);
  EXPECT_EQ(lastList().pictures, QStringList{box.filePath("new/n.jpg")});
}

TEST_F(ControllerFixture, SliderChangeHidesTheViewerAndReadsTheFoldersAgain) {
  int hide = 0;
  QObject::connect(&controller, &EnumerationController::viewerHideRequested, [&hide] { ++hide; });
  box.write("p/a.jpg");
  controller.openDropped({box.filePath("p")});
  ASSERT_TRUE(waitIdle());
  box.write("p/b.jpg");  // appears only because the slider re-reads the disk
  controller.setIconSizeFromSlider(10);
  EXPECT_EQ(hide, 1);
  EXPECT_EQ(controller.iconSize(), 200);
  ASSERT_TRUE(waitIdle());
  ASSERT_EQ(replaced.size(), 2);
  EXPECT_EQ(lastList().itemSize, QSize(200, 400));
  EXPECT_EQ(lastList().pictures.size(), 2);
  EXPECT_GT(lastList().generation, replaced.at(0).generation);
}

// The UI thread takes finished listings only when it serves its events, so everything below
// happens while the first listing is unfinished as far as the program can tell, whatever the
// worker's speed. Drops one, two or three timer events apart make one batch or several.
TEST(RapidDropsTest, ThreeRapidDropsAndASliderChangeGiveExactlyOneListing) {
  for (const int ticksBetween : {0, 1, 2, 3}) {
    test::Sandbox box;
    EnumerationController controller;
    test::SignalRecorder<OpenedList> replaced{&controller, &EnumerationController::pictureListReplaced};
    for (const char* name : {"one/1.png", "two/2.gif", "three/3.jpg"}) box.write(QString::fromUtf8(name));
    DropQueue queue([&](const QStringList& paths) { controller.openDropped(paths); });
    queue.timer().stop();
    for (const char* name : {"one", "two", "three"}) {
      queue.queuePath(box.filePath(QString::fromUtf8(name)));
      for (int t = 0; t < ticksBetween; ++t) queue.tick();
    }
    for (int t = 0; t < 3; ++t) queue.tick();
    controller.setIconSizeFromSlider(10);
    ASSERT_TRUE(test::waitFor([&] { return !controller.isListing(); })) << ticksBetween;
    ASSERT_EQ(replaced.size(), 1) << ticksBetween;
    EXPECT_EQ(replaced.last().itemSize, QSize(200, 400));
    // Together they open as one batch; apart, the last drop is what is open.
    const QString three = box.filePath(QStringLiteral("three/3.jpg"));
    EXPECT_EQ(replaced.last().pictures.size(), ticksBetween < 2 ? 3 : 1) << ticksBetween;
    EXPECT_EQ(replaced.last().pictures.first(), three) << ticksBetween;
    // Nothing more arrives later either.
    QCoreApplication::processEvents();
    EXPECT_EQ(replaced.size(), 1);
    EXPECT_FALSE(controller.isListing());
  }
}

TEST_F(ControllerFixture, DropTimerBatchOpensThroughTheController) {
  box.write("one/1.png");
  box.write("two/2.gif");
  box.write("three/3.jpg");
  DropQueue queue([this](const QStringList& paths) { controller.openDropped(paths); });
  for (const char* name : {"one", "two", "three"}) queue.queuePath(box.filePath(QString::fromUtf8(name)));
  ASSERT_TRUE(test::waitFor([this] { return replaced.size() == 1; }));
  EXPECT_EQ(controller.openedPaths(),
            (QStringList{box.filePath("one"), box.filePath("two"), box.filePath("three")}));
  EXPECT_EQ(lastList().pictures,
            (QStringList{box.filePath("three/3.jpg"), box.filePath("two/2.gif"), box.filePath("one/1.png")}));
}

}  // namespace
}  // namespace pimrose
