#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

namespace pimrose {

struct JpegHeader;

// Decodes a JPEG as stored (no orientation) at the smallest DCT scale (1/8 .. 1) whose result still
// covers `atLeast` in both directions; an empty `atLeast` asks for the full size. A progressive
// JPEG wanted at 1/8 is decoded from its first (DC) scans only. A file that ends early or carries
// damage libjpeg passes over gives what libjpeg makes of it (the missing part grey), as browsers and
// file managers show it. Answers Format_RGB32 (or, asked for three bytes a pixel, Format_RGB888, a
// quarter less memory), or a null image with `error` set.
enum class JpegPixels { FourBytes, ThreeBytes };
QImage decodeJpeg(QByteArrayView data, QSize atLeast, QString* error,
                  JpegPixels pixels = JpegPixels::FourBytes);
// The same with the header the caller has read already (readJpegHeader of the same data).
QImage decodeJpeg(QByteArrayView data, const JpegHeader& header, QSize atLeast, QString* error,
                  JpegPixels pixels = JpegPixels::FourBytes);

// The 1/8-scale picture held by the DC scans of a progressive JPEG, read in buffered-image mode
// without touching the rest of the file. Null when the data is not progressive or fails, or ends
// before its DC scans do.
QImage decodeJpegFirstScans(QByteArrayView data);
QImage decodeJpegFirstScans(QByteArrayView data, const JpegHeader& header);

}  // namespace pimrose
