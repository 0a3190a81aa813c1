#pragma once

#include <QLoggingCategory>

// Log lines of the notices, the prompt and the tips; off unless QT_LOGGING_RULES="pimrose.notices=true".
Q_DECLARE_LOGGING_CATEGORY(lcNotices)
