#pragma once

#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>

// The boxes of a HEIF or AVIF file that say what it is and how large it shows, read without
// libheif: libheif parses only a whole file, and a listing measures pictures from their first
// 64 KiB.

namespace pimrose {

class OpenedFile;

// Whether the bytes start with a file-type box naming a HEIF image brand (HEIC, AVIF, ...).
bool isHeifFile(QByteArrayView data);

// The primary image's size as it shows: its `ispe` extent, cropped by a `clap` and turned by an
// `irot`, in the order the file lists them (an `imir` mirrors without changing it). nullopt when
// the meta box is not complete in `data` or names no size.
std::optional<QSize> heifShownSize(QByteArrayView data);

// The file-type and meta boxes, read box by box from wherever they lie in the file: what
// heifShownSize needs when the meta box comes after the picture data. Empty when there are none.
QByteArray heifHeaderBoxes(const OpenedFile& file);

}  // namespace pimrose
