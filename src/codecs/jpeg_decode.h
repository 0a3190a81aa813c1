#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

namespace pimrose {

// Decodes a JPEG as stored (no orientation) at the smallest DCT scale (1/8 .. 1) whose result still
// covers `atLeast` in both directions; an empty `atLeast` asks for the full size. A progressive
// JPEG wanted at 1/8 is decoded from its first (DC) scans only. Answers Format_RGB32 (or, asked for
// three bytes a pixel, Format_RGB888, a quarter less memory), or a null image with `error` set.
enum class JpegPixels { FourBytes, ThreeBytes };
QImage decodeJpeg(QByteArrayView data, QSize atLeast, QString* error,
                  JpegPixels pixels = JpegPixels::FourBytes);

// The 1/8-scale picture held by the DC scans of a progressive JPEG, read in buffered-image mode
// without touching the rest of the file. Null when the data is not progressive or fails.
QImage decodeJpegFirstScans(QByteArrayView data);

}  // namespace pimrose
