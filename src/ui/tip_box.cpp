#include "ui/tip_box.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>

#include "ui/skin.h"

namespace pimrose::ui {
namespace {

QPointer<QLabel>& tipLabel() {
  static QPointer<QLabel> label;
  return label;
}

QLabel* ensureTip() {
  QPointer<QLabel>& label = tipLabel();
  if (!label) {
    label = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
    label->setAttribute(Qt::WA_ShowWithoutActivating);
    label->setWordWrap(true);
    label->setMaximumWidth(360);
    const SkinColours& c = skinColours(0);
    label->setStyleSheet(QStringLiteral("QLabel { background: %1; color: %2; border: 1px solid %3; "
                                        "border-radius: 6px; padding: 6px 10px; }")
                             .arg(c.panel.name(), c.text.name(), c.border.name()));
  }
  return label;
}

}  // namespace

void popUpTip(const QString& text, QPoint globalPos) {
  if (text.isEmpty()) return closeTip();
  QLabel* label = ensureTip();
  label->setText(text);
  label->adjustSize();
  label->move(globalPos + QPoint(12, 18));
  label->show();
}

void closeTip() {
  if (tipLabel()) tipLabel()->hide();
}

QString shownTip() {
  return tipLabel() && tipLabel()->isVisible() ? tipLabel()->text() : QString();
}

}  // namespace pimrose::ui
