#pragma once

#include <QLoggingCategory>

// Log lines of the platform subsystem; off unless QT_LOGGING_RULES="pimrose.platform=true".
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
