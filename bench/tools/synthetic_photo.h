#pragma once

#include <cstdint>
#include <vector>

// Camera-like test pictures made from a seed, identical on every machine: a lit gradient sky,
// soft blotches at several scales (foliage, clouds), hard-edged shapes with ripple texture, and
// sensor noise. Flat or smooth pictures decode several times faster than photographs and would
// flatter every thumbnailer measured with them.

namespace pimrose::bench {

struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // RGB, 3 bytes a pixel, rows packed
};

// A camera's grain (fine blotches, ripples, sensor noise), or none: the smooth picture of a
// screenshot or an illustration, gradients and flat shapes, which deflates well as a PNG.
enum class Grain { Camera, None };

RgbPicture syntheticPhoto(int width, int height, std::uint32_t seed, Grain grain = Grain::Camera);

}  // namespace pimrose::bench
