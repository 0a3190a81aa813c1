#pragma once

#include <QImage>
#include <QString>

namespace pimrose {

// The whole picture at `path`, upright (EXIF orientation applied), for the viewer. A null image
// when the file cannot be decoded or holds more pixels than a full decode is allowed; `error`
// then says why.
QImage decodePicture(const QString& path, QString* error = nullptr);

// The whole picture at `path`, upright, as a PNG made fast rather than small (encodeUprightPng), for
// handing to other programs. A JPEG is decoded as stored, three bytes a pixel, and turned row by row
// as the PNG is written, so a 48-megapixel photo holds its pixels once (144 MB) beside the growing
// PNG, and nothing but the PNG once it is done. Empty on failure, with `error` set. Takes seconds on
// a big photo: call it off the UI thread.
QByteArray uprightPng(const QString& path, QString* error = nullptr);

}  // namespace pimrose
