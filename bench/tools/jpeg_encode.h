#pragma once

#include <cstdint>
#include <vector>

#include "tools/synthetic_photo.h"

namespace pimrose::bench {

// Baseline JPEG with 4:2:0 chroma, as most cameras write; empty on failure.
std::vector<std::uint8_t> encodeJpeg(const RgbPicture& picture, int quality);

}  // namespace pimrose::bench
