#pragma once

#include <cstdint>
#include <vector>

// Photos tagged as a phone tags them: a Display P3 ICC profile (made with lcms2) in a JPEG's APP2
// segment, for the cost of colour management against the same JPEG untagged.

namespace pimrose::bench {

// The Display P3 profile: P3 primaries, D65 white, the sRGB curve.
std::vector<std::uint8_t> displayP3Profile();

// `jpeg` with `icc` in one APP2 "ICC_PROFILE" segment right after its start marker.
std::vector<std::uint8_t> withIccProfile(const std::vector<std::uint8_t>& jpeg,
                                         const std::vector<std::uint8_t>& icc);

}  // namespace pimrose::bench
