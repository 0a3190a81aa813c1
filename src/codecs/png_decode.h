#pragma once

#include <optional>
#include <utility>

#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

namespace pimrose {

// Width and height from the IHDR chunk; nullopt when the data does not start like a PNG.
std::optional<QSize> pngStoredSize(QByteArrayView data);

// Decodes a PNG to 8-bit colour with alpha (no gamma correction: the samples as stored). With an
// `atLeast` size the rows of a non-interlaced PNG are reduced while they are read by the largest
// whole factor that still covers it, so memory stays at one row plus the result. Answers
// Format_ARGB32 / RGB32 (full size) or ARGB32_Premultiplied (reduced), or null with `error` set.
//
// With `texts` the text chunks (tEXt, zTXt, iTXt; before and after the pixels) are answered as key
// and value, in file order.
using PngTexts = QList<std::pair<QString, QString>>;
QImage decodePng(QByteArrayView data, QSize atLeast, QString* error, PngTexts* texts = nullptr);

}  // namespace pimrose
