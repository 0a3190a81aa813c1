#pragma once

#include "ui/control.h"

namespace pimrose::ui {

// SuperbuttonEx: a small button drawn as a picture, with a state (0 normal, 1 active).
class ImageButton : public Control {
  Q_OBJECT

 public:
  ImageButton(const ControlDefinition& definition, QWidget* parent);

  void setState(int state);
  int state() const { return state_; }

 Q_SIGNALS:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int state_ = 0;
};

}  // namespace pimrose::ui
