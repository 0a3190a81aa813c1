#pragma once

#include <QObject>
#include <QWidget>

#include "ui/window_definition.h"

namespace pimrose::ui {

// Creates the control of a table row, of the class the row names, as a child of `parent`.
QObject* createControl(const ControlDefinition& definition, QWidget* parent);

}  // namespace pimrose::ui
