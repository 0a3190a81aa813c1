#pragma once

#include <QLoggingCategory>

// Log lines of the thumbnails library; off unless QT_LOGGING_RULES="pimrose.thumbnails=true".
Q_DECLARE_LOGGING_CATEGORY(lcThumbnails)
