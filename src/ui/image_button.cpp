#include "ui/image_button.h"

#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace pimrose::ui {
namespace {

void drawGear(QPainter& painter, QPointF c, qreal r) {
  QPainterPath teeth;
  for (int i = 0; i < 8; ++i) {
    const qreal a = i * M_PI / 4;
    const QPointF d(std::cos(a), std::sin(a));
    teeth.moveTo(c + d * (r * 0.62));
    teeth.lineTo(c + d * r);
  }
  painter.drawPath(teeth);
  painter.drawEllipse(c, r * 0.66, r * 0.66);
  painter.drawEllipse(c, r * 0.26, r * 0.26);
}

void drawSearch(QPainter& painter, QPointF c, qreal r) {
  painter.drawEllipse(c - QPointF(r * 0.2, r * 0.2), r * 0.55, r * 0.55);
  painter.drawLine(c + QPointF(r * 0.2, r * 0.2), c + QPointF(r * 0.75, r * 0.75));
}

void drawClose(QPainter& painter, QPointF c, qreal r) {
  painter.drawEllipse(c, r * 0.85, r * 0.85);
  painter.drawLine(c + QPointF(-r * 0.3, -r * 0.3), c + QPointF(r * 0.3, r * 0.3));
  painter.drawLine(c + QPointF(r * 0.3, -r * 0.3), c + QPointF(-r * 0.3, r * 0.3));
}

}  // namespace

ImageButton::ImageButton(const ControlDefinition& definition, QWidget* parent) : Control(definition, parent) {
  setCursor(Qt::PointingHandCursor);
}

void ImageButton::setState(int state) {
  state_ = state;
  update();
}

void ImageButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const SkinColours& c = colours();
  if (hovered() || state_ != 0) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(state_ != 0 ? c.accent : c.hover);
    painter.drawRoundedRect(QRectF(rect()), 6, 6);
  }
  painter.setPen(QPen(state_ != 0 ? c.accentText : c.text, 1.6, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  const QPointF centre = QRectF(rect()).center();
  const qreal radius = std::min(width(), height()) * 0.36;
  switch (definition().props.glyph) {
    case Glyph::Settings:
      drawGear(painter, centre, radius);
      break;
    case Glyph::Search:
      drawSearch(painter, centre, radius);
      break;
    case Glyph::Close:
      drawClose(painter, centre, radius);
      break;
    default:
      break;
  }
}

// The press belongs to the button: passed on, the window under it would take it for a press on its
// caption (a window move) or on its corner.
void ImageButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    event->accept();
  else
    Control::mousePressEvent(event);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Q_EMIT clicked();
  Control::mouseReleaseEvent(event);
}

}  // namespace pimrose::ui
