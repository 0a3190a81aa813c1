#pragma once

#include <QSize>
#include <QString>

namespace pimrose {

// The upright pixel size of the picture at `path` (EXIF orientation applied), read from the file's
// header only; 0x0 when the file cannot be read as a picture. Safe on any thread.
QSize pictureSize(const QString& path);

}  // namespace pimrose
