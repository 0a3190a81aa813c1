#include "ui/slider.h"

#include <QSlider>

namespace pimrose::ui {

Slider::Slider(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent), slider_(new QSlider(Qt::Horizontal, this)) {
  slider_->setRange(definition.props.minimum, definition.props.maximum);
  slider_->setValue(definition.props.value);
  slider_->setCursor(Qt::PointingHandCursor);
  slider_->setFocusPolicy(Qt::NoFocus);
  slider_->setGeometry(rect());
  connect(slider_, &QSlider::valueChanged, this, [this](int value) {
    if (!settingFromCode_) Q_EMIT positionChanged(value);
  });
}

void Slider::setPosition(int position) {
  settingFromCode_ = true;
  slider_->setValue(position);
  settingFromCode_ = false;
}

int Slider::position() const {
  return slider_->value();
}
int Slider::minimum() const {
  return slider_->minimum();
}
int Slider::maximum() const {
  return slider_->maximum();
}

void Slider::resizeEvent(QResizeEvent* event) {
  Control::resizeEvent(event);
  slider_->setGeometry(rect());
}

}  // namespace pimrose::ui
