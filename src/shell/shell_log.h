#pragma once

#include <QLoggingCategory>

// Log lines of the shell subsystem; off unless QT_LOGGING_RULES="pimrose.shell=true".
Q_DECLARE_LOGGING_CATEGORY(lcShell)
