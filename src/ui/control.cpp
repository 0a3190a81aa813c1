#include "ui/control.h"

#include <algorithm>

#include <QCursor>
#include <QGraphicsOpacityEffect>
#include <QMouseEvent>
#include <QPainter>

#include "ui/fonts.h"
#include "ui/window.h"

namespace pimrose::ui {

Control::Control(const ControlDefinition& definition, QWidget* parent)
    : QWidget(parent), definition_(definition) {
  setObjectName(definition.name);
  setFont(controlFont(definition.props));
  setGeometry(definition.rect);
}

Window* Control::ownerWindow() const {
  return qobject_cast<Window*>(window());
}

const SkinColours& Control::colours() const {
  const Window* owner = ownerWindow();
  return owner ? owner->colours() : skinColours(0);
}

QWidget* Control::childHost(int) {
  return this;
}

void Control::lockUpdate() {
  if (lockDepth_++ == 0) setUpdatesEnabled(false);
}

void Control::unlockUpdate() {
  if (lockDepth_ == 0) return;
  if (--lockDepth_ == 0) {
    setUpdatesEnabled(true);
    update();
  }
}

void Control::setTransparency(int alpha) {
  alpha_ = std::clamp(alpha, 0, 255);
  if (alpha_ == 255) {
    setGraphicsEffect(nullptr);
    return;
  }
  auto* effect = qobject_cast<QGraphicsOpacityEffect*>(graphicsEffect());
  if (!effect) {
    effect = new QGraphicsOpacityEffect(this);
    setGraphicsEffect(effect);
  }
  effect->setOpacity(alpha_ / 255.0);
}

void Control::takeFocus() {
  if (focusPolicy() == Qt::NoFocus) setFocusPolicy(Qt::ClickFocus);
  setFocus(Qt::OtherFocusReason);
}

void Control::setSkinImage(const QByteArray& bytes) {
  skinImage_ = bytes;
  update();
}

void Control::startMove() {
  moving_ = true;
  moveOffset_ = mapFromGlobal(QCursor::pos());
  grabMouse();
}

void Control::skinChanged() {
  update();
}

void Control::paintSurface(QPainter& painter, Surface surface) const {
  const SkinColours& c = colours();
  const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setRenderHint(QPainter::Antialiasing);
  switch (surface) {
    case Surface::None:
      return;
    case Surface::Window:
      painter.fillRect(rect(), c.window);
      return;
    case Surface::Strip:
      painter.fillRect(rect(), c.strip);
      painter.setPen(c.border);
      painter.drawLine(0, 0, width(), 0);
      return;
    case Surface::Viewer:
      painter.fillRect(rect(), c.viewer);
      return;
    case Surface::Shade:
      painter.fillRect(rect(), c.shade);
      return;
    case Surface::Line:
      painter.fillRect(rect(), c.border);
      return;
    case Surface::Panel:
      painter.setPen(c.border);
      painter.setBrush(c.panel);
      painter.drawRoundedRect(box, 8, 8);
      return;
  }
}

void Control::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintSurface(painter, definition_.props.surface);
}

void Control::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (definition_.props.raiseWhenShown) raise();
}

void Control::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  setHovered(true);
  Q_EMIT pointerInside(true);
}

void Control::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  setHovered(false);
  Q_EMIT pointerInside(false);
}

// Controls that draw a hover state repaint when the pointer comes and goes.
void Control::setHovered(bool hovered) {
  hovered_ = hovered;
  update();
}

void Control::mouseMoveEvent(QMouseEvent* event) {
  if (!moving_ || !parentWidget()) return QWidget::mouseMoveEvent(event);
  move(parentWidget()->mapFromGlobal(event->globalPosition().toPoint()) - moveOffset_);
}

void Control::mouseReleaseEvent(QMouseEvent* event) {
  if (!moving_) return QWidget::mouseReleaseEvent(event);
  moving_ = false;
  releaseMouse();
}

}  // namespace pimrose::ui
