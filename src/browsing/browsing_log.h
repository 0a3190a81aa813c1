#pragma once

#include <QLoggingCategory>

// Log lines of the browsing library; off unless QT_LOGGING_RULES="pimrose.browsing=true".
Q_DECLARE_LOGGING_CATEGORY(lcBrowsing)
