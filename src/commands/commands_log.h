#pragma once

#include <QLoggingCategory>

// Log lines of the commands; off unless QT_LOGGING_RULES="pimrose.commands=true".
Q_DECLARE_LOGGING_CATEGORY(lcCommands)
