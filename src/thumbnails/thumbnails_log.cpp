#include "thumbnails/thumbnails_log.h"

Q_LOGGING_CATEGORY(lcThumbnails, "pimrose.thumbnails", QtWarningMsg)
