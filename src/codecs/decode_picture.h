#pragma once

#include <QImage>
#include <QString>

namespace pimrose {

// The whole picture at `path`, upright (EXIF orientation applied), for the viewer. A null image
// when the file cannot be decoded or holds more pixels than a full decode is allowed; `error`
// then says why.
QImage decodePicture(const QString& path, QString* error = nullptr);

}  // namespace pimrose
