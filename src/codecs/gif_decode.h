#pragma once

#include <algorithm>
#include <optional>

#include <QByteArrayView>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace pimrose {

// The picture a GIF shows is its first frame on the logical screen. A frame that reaches past the
// screen widens the canvas rather than being cut, so nothing of it is lost.
inline QSize gifCanvas(QSize screen, QRect frame) {
  return QSize(std::max(screen.width(), frame.right() + 1), std::max(screen.height(), frame.bottom() + 1));
}

// The canvas size from the header blocks up to the first frame's descriptor, without decoding
// pixels; nullopt when the data holds no frame.
std::optional<QSize> gifCanvasSize(QByteArrayView data);

// How many frames the data holds, counting no further than `most`, by walking its blocks without
// decoding pixels: two or more make a moving picture.
int gifFrameCount(QByteArrayView data, int most);

// The first frame on its canvas, transparent where the frame does not paint, or a null image with
// `error` set. Later frames of an animation are never read. Without an `atLeast` size (or when no
// whole factor above 1 still covers it) the answer is the full canvas, Format_ARGB32. Otherwise the
// rows are reduced while they are decoded by the largest whole factor that still covers
// `atLeast`, and the answer is Format_ARGB32_Premultiplied: no full-size canvas is ever made.
QImage decodeGif(QByteArrayView data, QSize atLeast, QString* error);
inline QImage decodeGif(QByteArrayView data, QString* error) {
  return decodeGif(data, QSize(), error);
}

}  // namespace pimrose
