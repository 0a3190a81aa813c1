#include "ui/button.h"

#include <QMouseEvent>
#include <QPainter>

namespace pimrose::ui {

Button::Button(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent), text_(definition.props.text) {
  setCursor(definition.props.glyph == Glyph::Grip ? Qt::SizeFDiagCursor : Qt::PointingHandCursor);
}

void Button::setText(const QString& text) {
  text_ = text;
  update();
}

void Button::paintGrip(QPainter& painter) const {
  painter.setPen(Qt::NoPen);
  painter.setBrush(colours().mutedText);
  for (int row = 0; row < 3; ++row)
    for (int column = 2 - row; column < 3; ++column)
      painter.drawEllipse(QRectF(width() - 4.5 - (2 - column) * 4, height() - 4.5 - (2 - row) * 4, 2.2, 2.2));
}

void Button::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (definition().props.glyph == Glyph::Grip) return paintGrip(painter);
  const SkinColours& c = colours();
  const QColor fill = pressed_ ? c.accent : (hovered() ? c.hover : c.panel);
  painter.setPen(hovered() || pressed_ ? c.accent : c.border);
  painter.setBrush(fill);
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
  painter.setPen(pressed_ ? c.accentText : c.text);
  painter.drawText(rect(), Qt::AlignCenter, text_);
}

void Button::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  update();
  Q_EMIT leftPressed();
}

void Button::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return Control::mouseReleaseEvent(event);
  pressed_ = false;
  update();
  if (rect().contains(event->position().toPoint())) Q_EMIT clicked();
}

}  // namespace pimrose::ui
