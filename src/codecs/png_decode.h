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

// Decodes a PNG to 8-bit colour with alpha (no gamma correction: the samples as stored); the usual
// kinds in one pass (png_fast_path.h), the rest through libpng. With an
// `atLeast` size the rows of a non-interlaced PNG are reduced while they are read by the largest
// whole factor that still covers it, so memory stays at one row plus the result. Answers
// Format_ARGB32 / RGB32 (full size) or ARGB32_Premultiplied (reduced), or null with `error` set.
//
// A picture that is not interlaced and ends (or is damaged) after some of its rows gives those rows,
// the rest clear, as browsers show it; `whole` tells whether every row was there.
//
// With `texts` the text chunks (tEXt, zTXt, iTXt; before and after the pixels) are answered as key
// and value, in file order.
using PngTexts = QList<std::pair<QString, QString>>;
QImage decodePng(QByteArrayView data, QSize atLeast, QString* error, PngTexts* texts = nullptr,
                 bool* whole = nullptr);

// The size and the plain text chunks (tEXt, and iTXt without compression) that stand before a PNG's
// pixels, read without decoding anything: enough to tell whether a stored thumbnail is the one
// wanted before its pixels cost anything. nullopt when the data does not start like a PNG.
struct PngHead {
  QSize size;
  PngTexts texts;
};
std::optional<PngHead> readPngHead(QByteArrayView data);

}  // namespace pimrose
