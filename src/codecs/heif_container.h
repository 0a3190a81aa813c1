#pragma once

#include <functional>
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

// An embedded thumbnail: its item and its size as it shows.
struct HeifThumbnail {
  quint32 item = 0;  // 0: none
  QSize shown;
};

struct HeifSizes {
  QSize shown;              // the primary image's
  HeifThumbnail thumbnail;  // the primary image's largest thumbnail of its shape (heifSameShape)
};

// Sizes as they show: an item's `ispe` extent, cropped by a `clap` and turned by an `irot`, in the
// order the file lists them (an `imir` mirrors without changing it). nullopt when the meta box is
// not complete in `data` or names no size for the primary image.
std::optional<HeifSizes> heifSizes(QByteArrayView data);

// Whether a thumbnail shows the picture: one stored without the picture's rotation would show on
// its side, and one of another shape (beyond rounding) is not taken for it.
bool heifSameShape(QSize thumbnail, QSize picture);

// Reads `count` bytes of the file from `offset`; fewer when the file ends first.
using FileRangeReader = std::function<QByteArray(qint64 offset, qint64 count)>;

// The thumbnail `item` as a small HEIF of its own: the file-type and meta boxes of `header` (what
// the picture's header was read from) with the item's data read by `readAt` after them, its
// location rewritten to point there, and nothing else of the file. The other items' locations are
// left pointing beyond its end: only the thumbnail may be decoded from it. Empty when the item's
// data cannot be located or read, or is larger than any thumbnail.
QByteArray heifThumbnailAlone(QByteArrayView header, quint32 item, const FileRangeReader& readAt);

// The file-type and meta boxes, read box by box from wherever they lie in the file: what
// heifShownSize needs when the meta box comes after the picture data. Empty when there are none.
QByteArray heifHeaderBoxes(const OpenedFile& file);

}  // namespace pimrose
