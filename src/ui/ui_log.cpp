#include "ui/ui_log.h"

Q_LOGGING_CATEGORY(lcUi, "pimrose.ui", QtWarningMsg)
