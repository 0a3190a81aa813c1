#include "ui/check_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/ui_log.h"

namespace pimrose::ui {

CheckBox::CheckBox(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent), checked_(definition.props.checked), text_(definition.props.text) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
}

void CheckBox::setChecked(bool checked) {
  checked_ = checked;
  update();
}

void CheckBox::setText(const QString& text) {
  text_ = text;
  update();
}

void CheckBox::setStatusText(const QString& text) {
  statusText_ = text;
  setToolTip(text);
  update();
}

void CheckBox::setTextColour(QColor colour) {
  textColour_ = colour;
  update();
}

void CheckBox::toggleByUser() {
  const bool next = !checked_;
  Q_EMIT aboutToToggle(next);
  setChecked(next);
  Q_EMIT toggled(next);
  // After the handlers: a script that reads this line finds what they did already done.
  qCDebug(lcUi).noquote() << "check box" << name() << (next ? "on" : "off");
}

void CheckBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const SkinColours& c = colours();
  const QRectF box(2.5, (height() - 16) / 2.0 + 0.5, 15, 15);
  painter.setPen(checked_ ? c.accent : c.mutedText);
  painter.setBrush(checked_ ? c.accent : c.input);
  painter.drawRoundedRect(box, 4, 4);
  if (checked_) {
    QPainterPath tick;
    tick.moveTo(box.left() + 3.5, box.center().y());
    tick.lineTo(box.left() + 6.5, box.bottom() - 4);
    tick.lineTo(box.right() - 3, box.top() + 4);
    painter.setPen(QPen(c.accentText, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
  }
  painter.setPen(textColour_.isValid() ? textColour_ : c.text);
  // A status text (the hotkey's, for one) sits under the box's own text, smaller and muted.
  const int textHeight = statusText_.isEmpty() ? height() : height() / 2 + 2;
  const QRect textBox(26, 0, width() - 26, textHeight);
  painter.drawText(textBox, (statusText_.isEmpty() ? Qt::AlignVCenter : Qt::AlignBottom) | Qt::AlignLeft,
                   fontMetrics().elidedText(text_, Qt::ElideRight, textBox.width()));
  if (!statusText_.isEmpty())
    paintStatusText(painter, QRect(26, textHeight, width() - 26, height() - textHeight));
}

void CheckBox::paintStatusText(QPainter& painter, const QRect& box) {
  QFont small = font();
  small.setPixelSize(qMax(9, QFontInfo(font()).pixelSize() - 3));
  painter.setFont(small);
  painter.setPen(colours().mutedText);
  painter.drawText(box, Qt::AlignTop | Qt::AlignLeft,
                   QFontMetrics(small).elidedText(statusText_, Qt::ElideRight, box.width()));
}

void CheckBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) toggleByUser();
  Control::mouseReleaseEvent(event);
}

void CheckBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space)
    toggleByUser();
  else
    Control::keyPressEvent(event);
}

}  // namespace pimrose::ui
