#include "ui/caption_buttons.h"

#include <array>

#include <QMouseEvent>
#include <QPainter>

#include "ui/window.h"

namespace pimrose::ui {
namespace {

// Left to right: minimise, maximise, close.
constexpr std::array<CaptionButton, 3> kSlotIndex{CaptionButton::Minimise, CaptionButton::Maximise,
                                                  CaptionButton::Close};

void drawGlyph(QPainter& painter, CaptionButton button, QRectF box) {
  const QPointF c = box.center();
  switch (button) {
    case CaptionButton::Minimise:
      painter.drawLine(QPointF(c.x() - 5, c.y()), QPointF(c.x() + 5, c.y()));
      break;
    case CaptionButton::Maximise:
      painter.drawRect(QRectF(c.x() - 5, c.y() - 5, 10, 10));
      break;
    case CaptionButton::Close:
      painter.drawLine(QPointF(c.x() - 5, c.y() - 5), QPointF(c.x() + 5, c.y() + 5));
      painter.drawLine(QPointF(c.x() + 5, c.y() - 5), QPointF(c.x() - 5, c.y() + 5));
  }
}

}  // namespace

CaptionButtons::CaptionButtons(QWidget* window) : QWidget(window) {
  setMouseTracking(true);
  resize(kButtonWidth * 3, kCaptionHeight);
}

void CaptionButtons::placeIn(QSize windowSize) {
  setGeometry(windowSize.width() - kButtonWidth * 3 - 1, 1, kButtonWidth * 3, kCaptionHeight - 2);
}

int CaptionButtons::slotAt(QPoint point) const {
  if (!rect().contains(point)) return -1;
  return point.x() / kButtonWidth;
}

void CaptionButtons::paintEvent(QPaintEvent*) {
  auto* owner = qobject_cast<Window*>(window());
  const SkinColours& c = owner ? owner->colours() : skinColours(0);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  for (int slot = 0; slot < 3; ++slot) {
    const QRectF box(slot * kButtonWidth, 0, kButtonWidth, height());
    const bool close = kSlotIndex[slot] == CaptionButton::Close;
    if (slot == hovered_) painter.fillRect(box, close ? QColor(0xe8, 0x11, 0x23) : c.hover);
    painter.setPen(QPen(slot == hovered_ && close ? QColor(Qt::white) : c.text, 1.2));
    painter.setBrush(Qt::NoBrush);
    drawGlyph(painter, kSlotIndex[slot], box);
  }
}

// Taken here, so a press on a button neither drags the window nor counts as a window click.
void CaptionButtons::mousePressEvent(QMouseEvent* event) {
  event->accept();
}

void CaptionButtons::mouseMoveEvent(QMouseEvent* event) {
  const int slot = slotAt(event->position().toPoint());
  if (slot != hovered_) {
    hovered_ = slot;
    update();
  }
}

void CaptionButtons::mouseReleaseEvent(QMouseEvent* event) {
  const int slot = slotAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && slot >= 0) Q_EMIT pressed(kSlotIndex[slot]);
}

void CaptionButtons::leaveEvent(QEvent*) {
  hovered_ = -1;
  update();
}

}  // namespace pimrose::ui
