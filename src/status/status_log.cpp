#include "status/status_log.h"

Q_LOGGING_CATEGORY(lcStatus, "pimrose.status", QtWarningMsg)
