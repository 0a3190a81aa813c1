#pragma once

#include <QSize>
#include <QString>

namespace pimrose {

// The upright pixel size of the picture at `path` (EXIF orientation applied), read from the file's
// header only: the first 64 KiB, then (for a JPEG whose frame header lies further in) a walk from
// marker to marker, or for a HEIF whose meta box follows its picture data, from box to box. Only a
// picture whose header must be read from anywhere in the file (a TIFF with its directory at the
// end, a JPEG XL whose codestream follows large metadata boxes) is read whole, within the picture
// file limit. 0x0 with `error` set when the file cannot be read as a picture. Safe on any thread. A
// task that goes on to decode the picture opens a PictureProbe instead and keeps it (picture_probe.h).
QSize pictureSize(const QString& path, QString* error = nullptr);

}  // namespace pimrose
