#pragma once

#include <QByteArray>

namespace pimrose {

class OpenedFile;

// The header of a JPEG file condensed into a small JPEG of its own: the start marker, the EXIF
// blocks, the colour profile's APP2 pieces and the frame headers up to the first scan, read by
// seeking from marker to marker, so metadata blocks of any size cost nothing to skip. readJpegHeader
// reads the answer like the whole file. Empty when the file does not start like a JPEG.
QByteArray jpegHeaderSegments(const OpenedFile& file);

}  // namespace pimrose
