#pragma once

#include <memory>

#include <QString>

#include "codecs/file_reading.h"
#include "codecs/frame_source.h"

namespace pimrose {

// An animated WebP's frames through Qt's plugin, which composites them (blending and disposal as
// the file says) and reads the whole file to do so: the bytes, and their grant of the read budget,
// are held while the frames play. Passes as the file's loop count says (0 for ever). Null, with
// `error` set, for a WebP without animation or with a canvas larger than kMaxAnimationPixels.
std::unique_ptr<FrameSource> openWebpFrames(BudgetedBytes bytes, QString* error = nullptr);

}  // namespace pimrose
