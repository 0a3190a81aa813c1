#include "ui/filter.h"

#include <QMouseEvent>

namespace pimrose::ui {

Filter::Filter(const ControlDefinition& definition, QWidget* parent) : Control(definition, parent) {}

void Filter::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Q_EMIT leftPressed();
}

}  // namespace pimrose::ui
