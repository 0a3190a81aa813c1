#include <gtest/gtest.h>

#include "browsing/drop_queue.h"
#include "browsing/enumeration_controller.h"
#include "browsing/picture_types.h"
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

namespace pimrose {
namespace {

// The "more formats" box: plugin types count (any case) only while it is on, and turning it on or
// off lists the opened folder again.
TEST_F(ControllerFixture, MoreFormatsListPluginTypesOnlyWhileOn) {
  for (const char* name : {"a.jpg", "b.WEBP", "c.tif", "d.Bmp", "e.tiff", "f.txt", "g.webp.txt"})
    box.write(QStringLiteral("p/") + QString::fromLatin1(name));
  controller.openDropped({box.filePath("p")});
  ASSERT_TRUE(waitIdle());
  EXPECT_EQ(controller.pictureList(), QStringList{box.filePath("p/a.jpg")});

  controller.setMoreFormats(true);
  ASSERT_TRUE(waitIdle());
  ASSERT_EQ(replaced.size(), 2);
  const QStringList expected = {box.filePath("p/d.Bmp"), box.filePath("p/e.tiff"), box.filePath("p/c.tif"),
                                box.filePath("p/b.WEBP"), box.filePath("p/a.jpg")};
  EXPECT_EQ(controller.pictureList(), expected);

  controller.setMoreFormats(false);
  ASSERT_TRUE(waitIdle());
  ASSERT_EQ(replaced.size(), 3);
  EXPECT_EQ(controller.pictureList(), QStringList{box.filePath("p/a.jpg")});
}

TEST(PictureTypesTest, ExtraTypesFollowTheInstalledPlugins) {
  const std::pair<QList<QByteArray>, QString> cases[] = {
      {{}, ""},
      {{"png", "jpeg"}, ""},
      {{"bmp", "webp"}, "webp|bmp"},
      {{"tiff"}, "tif|tiff"},
      {{"heif", "avif", "tiff", "bmp", "webp"}, "webp|tif|tiff|bmp|avif|heic|heif"},
  };
  for (const auto& [readable, expected] : cases) EXPECT_EQ(extraPictureTypes(readable), expected);
  EXPECT_EQ(pictureTypes(false), "jpg|png|gif");
  EXPECT_TRUE(pictureTypes(true).startsWith("jpg|png|gif|"));
}

}  // namespace
}  // namespace pimrose
