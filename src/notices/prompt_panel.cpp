#include "notices/prompt_panel.h"

#include <QEventLoop>
#include <QPointer>

#include "notices/notice_icons.h"
#include "notices/overlay_geometry.h"
#include "notices/scheduler.h"
#include "settings/app_state.h"
#include "ui/button.h"
#include "ui/filter.h"
#include "ui/image_button.h"
#include "ui/picture_box.h"
#include "ui/text_label.h"
#include "ui/window.h"

namespace pimrose {
PromptPanel::PromptPanel(ui::Window& mainWindow, AppState& state, Scheduler& scheduler)
    : QObject(&mainWindow),
      window_(mainWindow),
      ui_(ui::resolveControls<ui::MainWindowControls>(mainWindow)),
      state_(state),
      scheduler_(scheduler) {
  connect(ui_.按钮_提示确定, &ui::Button::clicked, this, [this] { answer(kAnswerOk); });
  connect(ui_.按钮_提示取消, &ui::Button::clicked, this, [this] { answer(kAnswerCancel); });
  connect(ui_.超级按钮_提示关闭, &ui::ImageButton::clicked, this, [this] { answer(kAnswerCancel); });
  connect(&window_, &ui::Window::sizeChanged, this, &PromptPanel::relayout);
}

int PromptPanel::ShowPrompt(const QString& text, const QString& title, const QByteArray& icon, bool wait) {
  state_.promptAnswer = kAnswerNone;
  relayout();
  fill(text, title, icon);
  return wait ? waitForAnswer() : kAnswerCancel;
}

void PromptPanel::relayout() {
  auto* holder = ui_.滤镜;
  holder->setGeometry(promptHolderRect(window_.size()));
  auto* panel = ui_.图片框_提示;
  panel->setGeometry(promptPanelRect(holder->size(), panel->size()));
}

void PromptPanel::fill(const QString& text, const QString& title, const QByteArray& icon) {
  ui_.图片框_提示图标->setImageData(icon.isEmpty() ? messageIconPng(MessageIcon::Prompt) : icon);
  if (!text.isEmpty()) ui_.标签_提示内容->setText(text);
  ui_.标签_提示标题->setText(title.isEmpty() ? QStringLiteral("提示") : title);
}

void PromptPanel::answer(int value) {
  state_.promptAnswer = value;
  Q_EMIT answered(value);
}

// A prompt left unanswered is hidden when it gives up too: otherwise the panel would stay over the
// window with nothing left to take it away.
int PromptPanel::waitForAnswer() {
  QPointer<ui::Filter> holder = ui_.滤镜;
  holder->show();
  holder->raise();
  QPointer<PromptPanel> self(this);
  QEventLoop loop;
  connect(this, &PromptPanel::answered, &loop, &QEventLoop::quit);
  connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
  scheduler_.runAfter(kGiveUpMs, &loop, [&loop] { loop.quit(); });
  loop.exec();
  if (holder) holder->hide();
  if (!self) return kAnswerCancel;
  return state_.promptAnswer != kAnswerNone ? state_.promptAnswer : kAnswerCancel;
}

}  // namespace pimrose
