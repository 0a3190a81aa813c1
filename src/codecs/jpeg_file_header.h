#pragma once

#include <QByteArray>

namespace pimrose {

class OpenedFile;

// The header of a JPEG file condensed into a small JPEG of its own: the start marker, the first
// EXIF block and the frame header, read by seeking from marker to marker, so metadata blocks of
// any size before the frame cost nothing to skip. readJpegHeader reads the answer like the whole
// file. Empty when the file does not start like a JPEG.
QByteArray jpegHeaderSegments(const OpenedFile& file);

}  // namespace pimrose
