#pragma once

#include <functional>
#include <memory>

#include <QByteArray>
#include <QString>

#include "codecs/frame_source.h"

namespace pimrose {

// Up to `count` bytes from `offset` of the data a source reads; fewer at its end.
using ReadAt = std::function<QByteArray(qint64 offset, qint64 count)>;

// A GIF's frames, read through `read` a little at a time while they are drawn, composited as
// browsers do: the canvas starts clear (the background colour is not painted), the transparent
// index leaves what is below, and before the next frame a frame's area stays, is cleared, or gets
// back what it held before (disposal 1, 2, 3). Passes: one without a loop extension, for ever for
// a repeat count of 0, the count plus one otherwise. A frame reaching past the canvas is cut to it.
// Null, with `error` set, when the data does not start as a GIF.
std::unique_ptr<FrameSource> openGifFrames(ReadAt read, QString* error = nullptr);

}  // namespace pimrose
