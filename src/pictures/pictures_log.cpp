#include "pictures/pictures_log.h"

Q_LOGGING_CATEGORY(lcPictures, "pimrose.pictures", QtWarningMsg)
