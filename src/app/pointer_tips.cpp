#include "app/pointer_tips.h"

#include <climits>

#include <QCursor>
#include <QFontMetrics>

#include "app/app_state.h"
#include "app/overlay_geometry.h"
#include "app/tip_text.h"
#include "ui/control.h"
#include "ui/text_label.h"
#include "ui/window.h"

namespace pimrose {
namespace {

const QString kTipLabel = QStringLiteral("标签文本");

}  // namespace

PointerTips::PointerTips(ui::Window& tipWindow, ui::Window& mainWindow, const AppState& state,
                         PointerPosition pointer)
    : QObject(&tipWindow), tipWindow_(tipWindow), state_(state), pointer_(std::move(pointer)) {
  if (!pointer_) pointer_ = [] { return QCursor::pos(); };
  // A tooltip-type window is never activated by the window manager and lets the pointer through.
  tipWindow_.setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                            Qt::WindowTransparentForInput);
  tipWindow_.setAttribute(Qt::WA_ShowWithoutActivating);
  tipWindow_.setFocusPolicy(Qt::NoFocus);
  auto* autostart = mainWindow.control<ui::Control>(QStringLiteral("选择框_开机启动"));
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
  auto* label = tipWindow_.control<ui::TextLabel>(kTipLabel);
  label->setText(shown);
  label->setGeometry(tipLabelRect(size));
  tipWindow_.setGeometry(tipWindowRect(pointer_(), size));
  tipWindow_.show();
  tipWindow_.raise();
}

// The text measured the way the label draws it (wrapped anywhere at 150 pixels in the label's own
// font), with the tip's margin around it.
QSize PointerTips::measure(const QString& text) const {
  const QFontMetrics metrics(tipWindow_.control<ui::TextLabel>(kTipLabel)->font());
  const QRect bounds =
      metrics.boundingRect(QRect(0, 0, kMaxTextWidth, INT_MAX / 2),
                           Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere, text);
  return tipBoxSize(bounds.size());
}

}  // namespace pimrose
