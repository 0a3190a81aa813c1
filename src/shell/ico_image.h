#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

#include <optional>

namespace pimrose {

// One image of an .ico file: the directory entry's stored size and the image's own bytes.
struct IcoEntry {
  int width = 0;  // as stored: 0 stays 0 (the format writes 256 as 0)
  int height = 0;
  QByteArray imageBytes;
};

// The entry `index` (zero-based) of an .ico file. Nothing when the header is not an icon header,
// or the entry or the image it points at does not lie wholly inside the bytes.
std::optional<IcoEntry> icoEntryAt(QByteArrayView ico, int index);

// Decodes one icon image: a PNG stream, or a device-independent bitmap (32, 24 or 8 bits per pixel)
// with its AND mask, as icon files store them. A null image when the bytes are damaged or short.
QImage decodeIcoImage(QByteArrayView image);

}  // namespace pimrose
