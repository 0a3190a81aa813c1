#include "shell/float_window.h"

#include <QEvent>

#include "ui/controls.h"
#include "ui/pending_move.h"

namespace pimrose {

FloatWindow::FloatWindow(ui::Window& window, const ui::FloatWindowControls& controls, ui::CheckBox& showBox,
                         Actions actions)
    : QObject(&window),
      window_(window),
      showBox_(showBox),
      controls_(controls),
      actions_(std::move(actions)) {
  dressWindow();
  connectGestures();
}

// A tool window has no taskbar entry; the window manager neither focuses nor frames it.
void FloatWindow::dressWindow() {
  window_.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus);
  window_.setAttribute(Qt::WA_TranslucentBackground);
  window_.setAttribute(Qt::WA_ShowWithoutActivating);
  window_.setFocusPolicy(Qt::NoFocus);
  // A Wayland compositor places the window itself (and may not keep it above others): a fixed size
  // lets a tiling one (sway) float it like a dialog instead of stretching it over a tile.
  window_.move(0, 0);
  if (ui::WindowSkin* skin = controls_.窗口EX1) {
    const QSize size = window_.size();
    skin->setSizeLimitsHandler([size](ui::SizeLimits) { return ui::SizeLimits{size, size}; });
    // The skin control sits over the logo's top-left quarter; every press belongs to the logo.
    skin->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  // The engine paints every window's skin colour; this one shows only its logo.
  window_.installEventFilter(this);
}

void FloatWindow::connectGestures() {
  new ui::PendingMove(controls_.图片框_icon, &window_, [](QPoint) { return true; });
  connect(controls_.图片框_icon, &ui::PictureBox::sizeToggleGesture, this, [this] {
    if (actions_.toggleMainWindow) actions_.toggleMainWindow();
  });
  connect(controls_.图片框_icon, &ui::PictureBox::rightPressed, this, [this] {
    if (actions_.popUpFloatMenu) actions_.popUpFloatMenu();
  });
  connect(&showBox_, &ui::CheckBox::aboutToToggle, &window_, &QWidget::setVisible);
}

void FloatWindow::applyOption() {
  window_.setVisible(showBox_.isChecked());
}

void FloatWindow::hideFloat() {
  window_.hide();
  showBox_.setChecked(false);
}

bool FloatWindow::eventFilter(QObject* watched, QEvent* event) {
  return watched == &window_ && event->type() == QEvent::Paint;
}

}  // namespace pimrose
