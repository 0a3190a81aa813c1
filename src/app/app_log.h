#pragma once

#include <QLoggingCategory>

// Log lines of the app subsystem; off unless QT_LOGGING_RULES="pimrose.app=true".
Q_DECLARE_LOGGING_CATEGORY(lcApp)
