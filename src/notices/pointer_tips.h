#pragma once

#include <functional>

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

namespace pimrose {

struct AppState;

namespace ui {
class TextLabel;
class Window;
}  // namespace ui

// The pointer tip: `TextPopupWindow` with one text, just below the mouse pointer. It never takes the
// keyboard focus, so typing goes on where it was. While `AppState::tipsOff` holds no tip is shown.
class PointerTips : public QObject {
  Q_OBJECT

 public:
  using PointerPosition = std::function<QPoint()>;
  static constexpr int kMaxTextWidth = 150;

  // Tips appear when the pointer enters the autostart box of `mainWindow` and go when it leaves.
  PointerTips(ui::Window& tipWindow, ui::Window& mainWindow, const AppState& state,
              PointerPosition pointer = {});

  // Shows `text` (cut to 500 bytes) below the pointer; `show` false or an empty text hides the tip.
  void ShowTip(bool show, const QString& text);

 private:
  QSize measure(const QString& text) const;

  ui::Window& tipWindow_;
  ui::TextLabel* label_;
  const AppState& state_;
  PointerPosition pointer_;
};

}  // namespace pimrose
