#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include "manual_scheduler.h"
#include "notices/notice_icons.h"
#include "notices/notices.h"
#include "notices/scheduler.h"
#include "notices/slide_path.h"
#include "settings/skin_set.h"
#include "support/drawn_pixels.h"
#include "support/wait_for.h"
#include "ui/group_box.h"
#include "ui/window.h"

namespace pimrose {
namespace {

class NoticesTest : public ::testing::Test {
 protected:
  NoticesTest() : window_(ui::loadWindow(ui::mainWindowDefinition())) {
    window_->resize(1200, 700);
    window_->show();
    notices_ = new Notices(*window_, clock_);
  }

  ui::GroupBox* showOne(const QString& text, const QString& kind = QStringLiteral("完成")) {
    notices_->ShowNotice(text, kind);
    return notices_->shownNotices().back();
  }

  // Steps of 25 ms, recording where the notice is after each one.
  std::vector<int> stepTops(ui::GroupBox* notice, int steps, std::vector<int>* alphas = nullptr) {
    std::vector<int> tops;
    for (int i = 0; i < steps; ++i) {
      clock_.advance(Notices::kStepMs);
      tops.push_back(notice->top());
      if (alphas) alphas->push_back(notice->transparency());
    }
    return tops;
  }

  static void destroyLeftNotices() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  test::ManualScheduler clock_;
  std::unique_ptr<ui::Window> window_;
  Notices* notices_ = nullptr;
};

TEST_F(NoticesTest, SlidesDownRestsThenSlidesBackFadingAndIsDestroyed) {
  ui::GroupBox* notice = showOne(QStringLiteral("保存配置完成"));
  EXPECT_TRUE(notice->shown());
  EXPECT_EQ(notice->geometry(), QRect(485, 10, 230, 60));
  EXPECT_EQ(notice->text(), u"保存配置完成");
  EXPECT_EQ(notices_->noticeCount(), 1) << "counted from the moment it starts sliding in";

  EXPECT_EQ(stepTops(notice, Notices::kSlideInSteps), slidePath(10, 50, Notices::kSlideInSteps));
  clock_.advance(Notices::kRestMs - 1);
  EXPECT_EQ(notice->top(), 50) << "rests 1.5 s";
  EXPECT_EQ(notice->transparency(), 255);
  EXPECT_EQ(notices_->noticeCount(), 1) << "still counted while resting";

  clock_.advance(1);
  EXPECT_EQ(notices_->noticeCount(), 0) << "no longer counted once it starts sliding out";
  std::vector<int> alphas;
  EXPECT_EQ(stepTops(notice, Notices::kSlideOutSteps, &alphas), slidePath(50, 10, Notices::kSlideOutSteps));
  EXPECT_TRUE(std::is_sorted(alphas.rbegin(), alphas.rend())) << "fades as it goes";
  EXPECT_LT(alphas.front(), 255);
  EXPECT_EQ(alphas.back(), 0);

  destroyLeftNotices();
  EXPECT_TRUE(notices_->shownNotices().empty());
  EXPECT_TRUE(clock_.idle()) << "nothing left to wake the program";
}

TEST_F(NoticesTest, WidthAtNineteenAndTwentyBytes) {
  ui::GroupBox* narrow = showOne(QString(19, u'a'));
  ui::GroupBox* wide = showOne(QString(20, u'a'));
  EXPECT_EQ(narrow->width(), 230);
  EXPECT_EQ(wide->width(), 350);
  EXPECT_EQ(narrow->x(), 485);
  EXPECT_EQ(wide->x(), 485);
  EXPECT_EQ(wide->height(), 60);
}

TEST_F(NoticesTest, NoticesInQuickSuccessionStackSixtyPixelsApart) {
  ui::GroupBox* first = showOne(QStringLiteral("一"));
  clock_.advance(Notices::kStepMs * 3);
  ui::GroupBox* second = showOne(QStringLiteral("二"));
  ui::GroupBox* third = showOne(QStringLiteral("三"));
  EXPECT_EQ(notices_->noticeCount(), 3);
  clock_.advance(Notices::kStepMs * Notices::kSlideInSteps);
  EXPECT_EQ(first->top(), 50);
  EXPECT_EQ(second->top(), 110);
  EXPECT_EQ(third->top(), 170);
}

TEST_F(NoticesTest, ANoticeAfterTheFirstLeftTakesItsPlaceWithoutCoveringTheOneStillResting) {
  showOne(QStringLiteral("一"));
  clock_.advance(1000);
  ui::GroupBox* second = showOne(QStringLiteral("二"));
  // The first starts leaving at 250 + 1500 ms; the second rests at 110 until 2750 ms.
  clock_.advance(800);
  EXPECT_EQ(notices_->noticeCount(), 1);
  ui::GroupBox* third = showOne(QStringLiteral("三"));
  clock_.advance(Notices::kStepMs * Notices::kSlideInSteps);
  EXPECT_EQ(second->top(), 110);
  EXPECT_EQ(third->top(), 50);
}

TEST_F(NoticesTest, KindChoosesTheIcon) {
  const std::pair<QString, QImage> cases[] = {
      {QStringLiteral("完成"), QImage::fromData(messageIconPng(MessageIcon::Done))},
      {QStringLiteral("失败"), QImage::fromData(messageIconPng(MessageIcon::Failed))},
      {QStringLiteral("其他"), QImage()},
      {QString(), QImage()},
  };
  for (const auto& [kind, icon] : cases) {
    ui::GroupBox* notice = showOne(QStringLiteral("置剪贴板完成"), kind);
    EXPECT_EQ(notice->icon(), icon) << kind.toStdString();
    EXPECT_EQ(notice->text(), u"置剪贴板完成") << "the kind is not shown as text";
  }
}

// The text takes the active skin's text colour (a notice without an icon: nothing else is drawn in it).
TEST_F(NoticesTest, TheTextIsDrawnInTheSkinsTextColour) {
  for (int skin : {0, 1}) {
    SCOPED_TRACE(skin);
    ui::applySkin(*window_, skin);
    ui::GroupBox* notice = showOne(QStringLiteral("保存配置完成"), QString());
    // Thin strokes at 13 pixels cover few pixels whole; the light skin's text is a hair short of
    // opaque, so those come within a few levels of its colour.
    const int textPixels = test::pixelsNear(notice->grab().toImage(), skinSet(skin)->activeText, 6);
    EXPECT_GT(textPixels, 3) << "the cores of the text's strokes";
  }
}

TEST_F(NoticesTest, GoingAwayWhileNoticesMoveCancelsThem) {
  showOne(QStringLiteral("一"));
  showOne(QStringLiteral("二"));
  clock_.advance(Notices::kStepMs * 2);
  delete notices_;
  EXPECT_TRUE(window_->findChildren<ui::GroupBox*>().size() == 1) << "only the template is left";
  clock_.advance(10'000);
  EXPECT_TRUE(clock_.idle());
}

// The real clock: the window keeps handling events while a notice moves and rests.
TEST(NoticesRealClockTest, TheWindowStaysResponsiveUntilTheNoticeIsGone) {
  auto window = ui::loadWindow(ui::mainWindowDefinition());
  window->resize(1200, 700);
  auto* notices = new Notices(*window, realScheduler());
  notices->ShowNotice(QStringLiteral("保存配置完成"), QStringLiteral("完成"));
  bool served = false;
  QTimer::singleShot(0, [&] { served = true; });
  EXPECT_TRUE(test::waitFor([&] { return served; }, 1000));
  EXPECT_EQ(notices->noticeCount(), 1) << "handled while the notice was still up";
  EXPECT_TRUE(test::waitFor([&] { return notices->shownNotices().empty(); }, 10'000));
  EXPECT_EQ(notices->noticeCount(), 0);
}

}  // namespace
}  // namespace pimrose
