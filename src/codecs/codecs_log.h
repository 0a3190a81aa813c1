#pragma once

#include <QLoggingCategory>

// Log lines of the codecs library; off unless QT_LOGGING_RULES="pimrose.codecs=true".
Q_DECLARE_LOGGING_CATEGORY(lcCodecs)
