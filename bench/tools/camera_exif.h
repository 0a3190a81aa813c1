#pragma once

#include <cstdint>
#include <vector>

namespace pimrose::bench {

// `jpeg` with an Exif block (APP1) right after its start marker carrying `preview`, itself a JPEG,
// as the embedded preview (IFD1, JPEGInterchangeFormat), the way cameras store their 160x120 one.
// The main picture's bytes are left as they are.
std::vector<std::uint8_t> withCameraPreview(const std::vector<std::uint8_t>& jpeg,
                                            const std::vector<std::uint8_t>& preview);

}  // namespace pimrose::bench
