#pragma once

#include <optional>

#include <QByteArrayView>
#include <QSize>

#include "codecs/heif_container.h"
#include "codecs/jpeg_header.h"
#include "codecs/orientation.h"
#include "codecs/picture_format.h"

namespace pimrose {

// What a picture's header says, read without decoding any pixel. A task reads it once and hands
// it on (picture_probe.h): the decoders take it instead of walking the header again.
struct PictureHeader {
  PictureFormat format = PictureFormat::Other;
  QSize storedSize;        // HEIF and JPEG XL: as shown, since their decoders turn them themselves
  int orientation = 1;     // EXIF orientation of a JPEG; 1 for everything else
  QByteArrayView preview;  // a JPEG's embedded EXIF preview, inside the caller's buffer
  bool progressive = false;
  JpegHeader jpeg;              // a JPEG's whole header as its decoder needs it; empty for other formats
  HeifThumbnail heifThumbnail;  // a HEIF's largest embedded thumbnail of the picture's shape

  QSize upright() const { return uprightSize(storedSize, orientation); }
};

// nullopt when the data is no picture we can read or its sides are not believable.
std::optional<PictureHeader> readPictureHeader(QByteArrayView data);
// The same for data already sniffed as `format`.
std::optional<PictureHeader> readPictureHeader(QByteArrayView data, PictureFormat format);

}  // namespace pimrose
