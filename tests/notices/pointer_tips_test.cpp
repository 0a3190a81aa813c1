#include <QApplication>

#include <gtest/gtest.h>

#include "notices/pointer_tips.h"
#include "settings/app_state.h"
#include "support/wait_for.h"
#include "ui/check_box.h"
#include "ui/edit_box.h"
#include "ui/text_label.h"
#include "ui/window.h"

namespace pimrose {
namespace {

class PointerTipsTest : public ::testing::Test {
 protected:
  PointerTipsTest()
      : main_(ui::loadWindow(ui::mainWindowDefinition())),
        tip_(ui::loadWindow(ui::textPopupWindowDefinition())) {
    tip_->setParent(main_.get(), tip_->windowFlags() | Qt::Tool);
    tips_ = new PointerTips(*tip_, *main_, state_, [this] { return pointer_; });
  }

  ui::TextLabel* label() const { return tip_->control<ui::TextLabel>(QStringLiteral("标签文本")); }
  QString tipLabel() const { return label()->text(); }
  void enterAutostartBox(bool inside) {
    Q_EMIT main_->control<ui::CheckBox>(QStringLiteral("选择框_开机启动"))->pointerInside(inside);
  }

  AppState state_;
  QPoint pointer_{300, 200};
  std::unique_ptr<ui::Window> main_;
  std::unique_ptr<ui::Window> tip_;
  PointerTips* tips_ = nullptr;
};

TEST_F(PointerTipsTest, TheAutostartBoxShowsDoneThirtyPixelsBelowThePointerAndHidesIt) {
  enterAutostartBox(true);
  ASSERT_TRUE(tip_->isVisible());
  EXPECT_EQ(tipLabel(), u"完成");
  EXPECT_EQ(tip_->pos(), QPoint(300, 230));
  // w + 5 by h around the text's own measure, the label at 1, 1 and w + 3 by h - 2.
  const QSize text = QFontMetrics(label()->font()).size(0, QStringLiteral("完成"));
  EXPECT_EQ(tip_->size(), text + QSize(5, 0));
  EXPECT_EQ(label()->geometry(), QRect(QPoint(1, 1), text + QSize(3, -2)));
  enterAutostartBox(false);
  EXPECT_FALSE(tip_->isVisible());
}

TEST_F(PointerTipsTest, TipsOffShowsNothingAndAnEmptyTextHides) {
  state_.tipsOff = true;
  enterAutostartBox(true);
  EXPECT_FALSE(tip_->isVisible());
  state_.tipsOff = false;
  tips_->ShowTip(true, QStringLiteral("完成"));
  ASSERT_TRUE(tip_->isVisible());
  tips_->ShowTip(true, QString());
  EXPECT_FALSE(tip_->isVisible());
}

TEST_F(PointerTipsTest, ALongTextIsCutAndWrappedAtOneHundredFiftyPixels) {
  tips_->ShowTip(true, QString(600, u'x'));
  EXPECT_EQ(tipLabel(), QString(500, u'x') + QStringLiteral("..."));
  EXPECT_LE(tip_->width(), PointerTips::kMaxTextWidth + 5);
  EXPECT_GT(tip_->height(), 3 * QFontMetrics(tip_->font()).height()) << "wrapped over several lines";
  EXPECT_EQ(label()->geometry(), QRect(1, 1, tip_->width() - 2, tip_->height() - 2));
}

TEST_F(PointerTipsTest, TheTipNeverTakesTheKeyboardFocus) {
  main_->show();
  main_->activateWindow();
  auto* search = main_->control<ui::EditBox>(QStringLiteral("编辑框_搜索"));
  search->setFocus();
  ASSERT_TRUE(test::waitFor([&] { return QApplication::focusWidget() != nullptr; }, 2000));
  QWidget* focused = QApplication::focusWidget();
  tips_->ShowTip(true, QStringLiteral("完成"));
  QCoreApplication::processEvents();
  EXPECT_TRUE(tip_->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
  EXPECT_TRUE(tip_->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_NE(QApplication::activeWindow(), tip_.get());
  EXPECT_EQ(QApplication::focusWidget(), focused);
  EXPECT_FALSE(tip_->isAncestorOf(QApplication::focusWidget()));
}

}  // namespace
}  // namespace pimrose
