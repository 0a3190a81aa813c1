#pragma once

#include "ui/control.h"

namespace pimrose::ui {

// ButtonEx: a push button. With the grip glyph it is drawn as a resize grip.
class Button : public Control {
  Q_OBJECT

 public:
  Button(const ControlDefinition& definition, QWidget* parent);

  void setText(const QString& text);
  const QString& text() const { return text_; }

 Q_SIGNALS:
  void leftPressed();
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void paintGrip(class QPainter& painter) const;

  QString text_;
  bool pressed_ = false;
};

}  // namespace pimrose::ui
