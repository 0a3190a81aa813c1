#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "ui/main_window_controls.h"

namespace pimrose {

struct AppState;
class Scheduler;

namespace ui {
class Window;
}

// The in-window prompt: the panel `图片框_提示` on its translucent holder `滤镜`, with a title, an icon,
// a text and the buttons "确定", "取消" and close. The answer is kept in `AppState::promptAnswer`:
// 0 while waiting, 2 for "确定", 1 for "取消" or close.
class PromptPanel : public QObject {
  Q_OBJECT

 public:
  static constexpr int kAnswerNone = 0;
  static constexpr int kAnswerCancel = 1;
  static constexpr int kAnswerOk = 2;
  // A prompt nobody answers gives up after this long, answering as if cancelled.
  static constexpr int kGiveUpMs = 500'000;

  PromptPanel(ui::Window& mainWindow, AppState& state, Scheduler& scheduler);

  // Lays the panel out and fills it: an empty text keeps the previous one, an empty title shows
  // "提示", an empty icon the default icon. Without `wait` it answers 1 at once and leaves the panel
  // shown or hidden as it was. With `wait` it shows the panel and answers when a button is pressed,
  // the event loop running meanwhile; the panel is hidden again when it answers.
  int ShowPrompt(const QString& text = {}, const QString& title = {}, const QByteArray& icon = {},
                 bool wait = false);

  // Places the holder and the panel for the window's current size. The window calls it on every
  // size change; what the panel shows stays as it is.
  void relayout();

 Q_SIGNALS:
  void answered(int answer);

 private:
  void fill(const QString& text, const QString& title, const QByteArray& icon);
  void answer(int value);
  int waitForAnswer();

  ui::Window& window_;
  ui::MainWindowControls ui_;
  AppState& state_;
  Scheduler& scheduler_;
};

}  // namespace pimrose
