#pragma once

#include "ui/control.h"

class QSlider;

namespace pimrose::ui {

// SliderbarEx: a horizontal slider over the range the table gives.
class Slider : public Control {
  Q_OBJECT

 public:
  Slider(const ControlDefinition& definition, QWidget* parent);

  // Sets the position (clamped to the range) without raising positionChanged.
  void setPosition(int position);
  int position() const;
  int minimum() const;
  int maximum() const;

 Q_SIGNALS:
  void positionChanged(int position);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QSlider* slider_;
  bool settingFromCode_ = false;
};

}  // namespace pimrose::ui
