#include <functional>

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "manual_scheduler.h"
#include "notices/notice_icons.h"
#include "notices/prompt_panel.h"
#include "settings/app_state.h"
#include "ui/button.h"
#include "ui/filter.h"
#include "ui/image_button.h"
#include "ui/picture_box.h"
#include "ui/text_label.h"
#include "ui/window.h"

namespace pimrose {
namespace {

class PromptPanelTest : public ::testing::Test {
 protected:
  PromptPanelTest() : window_(ui::loadWindow(ui::mainWindowDefinition())) {
    window_->resize(1200, 700);
    window_->show();
    prompt_ = new PromptPanel(*window_, state_, clock_);
  }

  template <class T>
  T* control(const char* name) const {
    return window_->control<T>(QString::fromUtf8(name));
  }
  ui::Filter* holder() const { return control<ui::Filter>("滤镜"); }
  QString title() const { return control<ui::TextLabel>("标签_提示标题")->text(); }
  QString body() const { return control<ui::TextLabel>("标签_提示内容")->text(); }
  QByteArray icon() const { return control<ui::PictureBox>("图片框_提示图标")->imageData(); }

  // Runs `during` from inside the prompt's wait, then answers what the prompt answered.
  int waitWhile(const std::function<void()>& during) {
    QTimer::singleShot(0, window_.get(), during);
    return prompt_->ShowPrompt(QStringLiteral("删除这张图片?"), QStringLiteral("确认"), {}, true);
  }

  AppState state_;
  test::ManualScheduler clock_;
  std::unique_ptr<ui::Window> window_;
  PromptPanel* prompt_ = nullptr;
};

TEST_F(PromptPanelTest, EmptyArgumentsGiveTheDefaultsAndAnswerAtOnce) {
  control<ui::TextLabel>("标签_提示内容")->setText(QStringLiteral("上一次的内容"));
  EXPECT_EQ(prompt_->ShowPrompt(), PromptPanel::kAnswerCancel);
  EXPECT_EQ(title(), u"提示");
  EXPECT_EQ(icon(), messageIconPng(MessageIcon::Prompt));
  EXPECT_EQ(body(), u"上一次的内容") << "an empty text keeps the previous one";
  EXPECT_FALSE(holder()->shown()) << "without waiting the holder stays as it was";

  const QByteArray own = messageIconPng(MessageIcon::Done);
  prompt_->ShowPrompt(QStringLiteral("内容"), QStringLiteral("标题"), own);
  EXPECT_EQ(title(), u"标题");
  EXPECT_EQ(body(), u"内容");
  EXPECT_EQ(icon(), own);
}

TEST_F(PromptPanelTest, LaidOutAgainOnEverySizeChangeKeepingWhatItShows) {
  prompt_->ShowPrompt(QStringLiteral("内容"), QStringLiteral("标题"));
  EXPECT_EQ(holder()->geometry(), QRect(1, 1, 1198, 698));
  EXPECT_EQ(control<ui::PictureBox>("图片框_提示")->geometry(), QRect(495, 261, 328, 176));
  window_->resize(1500, 901);
  EXPECT_EQ(holder()->geometry(), QRect(1, 1, 1498, 899));
  EXPECT_EQ(control<ui::PictureBox>("图片框_提示")->geometry(), QRect(645, 361, 328, 176));
  EXPECT_EQ(title(), u"标题");
}

struct AnswerCase {
  const char* button;
  bool imageButton;
  int answer;
};

TEST_F(PromptPanelTest, ButtonsAnswerWhileTheEventLoopRuns) {
  const AnswerCase cases[] = {
      {"按钮_提示确定", false, 2}, {"按钮_提示取消", false, 1}, {"超级按钮_提示关闭", true, 1}};
  for (const AnswerCase& c : cases) {
    bool shownWhileWaiting = false;
    const int answer = waitWhile([&] {
      shownWhileWaiting = holder()->isVisible();
      QWidget* button = c.imageButton ? static_cast<QWidget*>(control<ui::ImageButton>(c.button))
                                      : static_cast<QWidget*>(control<ui::Button>(c.button));
      QTest::mouseClick(button, Qt::LeftButton);
    });
    EXPECT_TRUE(shownWhileWaiting) << c.button;
    EXPECT_EQ(answer, c.answer) << c.button;
    EXPECT_EQ(state_.promptAnswer, c.answer) << c.button;
    EXPECT_FALSE(holder()->shown()) << c.button << ": hidden once answered";
    EXPECT_EQ(title(), u"确认");
  }
}

TEST_F(PromptPanelTest, GivesUpAfterFiveHundredSecondsAnsweringCancel) {
  bool stillWaiting = false;
  const int answer = waitWhile([&] {
    clock_.advance(PromptPanel::kGiveUpMs - 1);
    stillWaiting = holder()->isVisible();
    clock_.advance(1);
  });
  EXPECT_TRUE(stillWaiting);
  EXPECT_EQ(answer, PromptPanel::kAnswerCancel);
  EXPECT_EQ(state_.promptAnswer, PromptPanel::kAnswerNone);
  EXPECT_FALSE(holder()->shown()) << "an abandoned prompt does not stay over the window";
}

TEST_F(PromptPanelTest, AResizeWhileWaitingDoesNotLoseTheAnswer) {
  const int answer = waitWhile([&] {
    QTest::mouseClick(control<ui::Button>("按钮_提示确定"), Qt::LeftButton);
    window_->resize(1300, 800);
  });
  EXPECT_EQ(answer, PromptPanel::kAnswerOk);
}

}  // namespace
}  // namespace pimrose
