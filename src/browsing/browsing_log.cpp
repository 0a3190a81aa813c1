#include "browsing/browsing_log.h"

Q_LOGGING_CATEGORY(lcBrowsing, "pimrose.browsing", QtWarningMsg)
