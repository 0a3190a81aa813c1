#include "notices/pointer_tips.h"

#include <climits>

#include <QCursor>
#include <QFontMetrics>

#include "notices/overlay_geometry.h"
#include "notices/tip_text.h"
#include "settings/app_state.h"
#include "ui/check_box.h"
#include "ui/main_window_controls.h"
#include "ui/text_label.h"
#include "ui/text_popup_window_controls.h"
#include "ui/window.h"

namespace pimrose {
PointerTips::PointerTips(ui::Window& tipWindow, ui::Window& mainWindow, const AppState& state,
                         PointerPosition pointer)
    : QObject(&tipWindow),
      tipWindow_(tipWindow),
      label_(ui::resolveControls<ui::TextPopupWindowControls>(tipWindow).标签文本),
      state_(state),
      pointer_(std::move(pointer)) {
  if (!pointer_) pointer_ = [] { return QCursor::pos(); };
  // A tooltip-type window is never activated by the window manager and lets the pointer through.
  tipWindow_.setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                            Qt::WindowTransparentForInput);
  tipWindow_.setAttribute(Qt::WA_ShowWithoutActivating);
  tipWindow_.setFocusPolicy(Qt::NoFocus);
  auto* autostart = ui::resolveControls<ui::MainWindowControls>(mainWindow).选择框_开机启动;
  connect(autostart, &ui::Control::pointerInside, this,
          [this](bool inside) { ShowTip(inside, QStringLiteral("完成")); });
}

void PointerTips::ShowTip(bool show, const QString& text) {
  if (state_.tipsOff) return;
  if (!show || text.isEmpty()) {
    tipWindow_.hide();
    return;
  }
  const QString shown = tipText(text);
  const QSize size = measure(shown);
  label_->setText(shown);
  label_->setGeometry(tipLabelRect(size));
  tipWindow_.setGeometry(tipWindowRect(pointer_(), size));
  tipWindow_.show();
  tipWindow_.raise();
}

// The text measured the way the label draws it: wrapped anywhere at 150 pixels in its own font.
QSize PointerTips::measure(const QString& text) const {
  const QFontMetrics metrics(label_->font());
  return metrics
      .boundingRect(QRect(0, 0, kMaxTextWidth, INT_MAX / 2),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere, text)
      .size();
}

}  // namespace pimrose
