#include "notices/notices_log.h"

Q_LOGGING_CATEGORY(lcNotices, "pimrose.notices", QtWarningMsg)
