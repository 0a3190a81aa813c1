#pragma once

#include <QLoggingCategory>

// Log lines of the ui subsystem; off unless QT_LOGGING_RULES="pimrose.ui=true".
Q_DECLARE_LOGGING_CATEGORY(lcUi)
