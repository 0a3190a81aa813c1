#pragma once

#include "ui/control.h"

namespace pimrose::ui {

// FilterEx: a translucent holder laid over other controls (the prompt holder, the mask).
class Filter : public Control {
  Q_OBJECT

 public:
  Filter(const ControlDefinition& definition, QWidget* parent);

 Q_SIGNALS:
  void leftPressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace pimrose::ui
