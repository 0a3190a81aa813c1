#pragma once

#include <QLoggingCategory>

// Log lines of the pictures subsystem; off unless QT_LOGGING_RULES="pimrose.pictures=true".
Q_DECLARE_LOGGING_CATEGORY(lcPictures)
