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

// The first frame on its canvas, Format_ARGB32 (transparent where the frame does not paint), or a
// null image with `error` set. Later frames of an animation are never read.
QImage decodeGif(QByteArrayView data, QString* error);

}  // namespace pimrose
