#include "codecs/codecs_log.h"

Q_LOGGING_CATEGORY(lcCodecs, "pimrose.codecs", QtWarningMsg)
