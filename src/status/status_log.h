#pragma once

#include <QLoggingCategory>

// Log lines of the status subsystem; off unless QT_LOGGING_RULES="pimrose.status=true".
Q_DECLARE_LOGGING_CATEGORY(lcStatus)
