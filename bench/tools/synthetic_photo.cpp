#include "tools/synthetic_photo.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pimrose::bench {
namespace {

// xorshift32: std distributions differ between standard libraries, this does not.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {
    if (state_ == 0) state_ = 1;
  }
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int between(int low, int high) { return low + int(next() % std::uint32_t(high - low + 1)); }

 private:
  std::uint32_t state_;
};

// A coarse grid of random values, read back with bilinear interpolation: blotches `cell` wide.
class Blotches {
 public:
  Blotches(int width, int height, int cell, int amplitude, Random& random)
      : cell_(cell), columns_(width / cell + 2), values_(size_t(columns_) * size_t(height / cell + 2)) {
    for (auto& value : values_) value = random.between(-amplitude, amplitude);
  }
  int at(int x, int y) const {
    const int cx = x / cell_, cy = y / cell_;
    const int fx = x % cell_, fy = y % cell_;
    const auto v = [&](int gx, int gy) { return values_[size_t(gy) * size_t(columns_) + size_t(gx)]; };
    const int top = v(cx, cy) * (cell_ - fx) + v(cx + 1, cy) * fx;
    const int bottom = v(cx, cy + 1) * (cell_ - fx) + v(cx + 1, cy + 1) * fx;
    return (top * (cell_ - fy) + bottom * fy) / (cell_ * cell_);
  }

 private:
  int cell_;
  int columns_;
  std::vector<int> values_;
};

struct Shape {
  int cx, cy, rx, ry;
  std::array<int, 3> colour;
  int ripple;  // period of the shape's stripes in pixels
};

std::vector<Shape> makeShapes(int width, int height, Random& random) {
  std::vector<Shape> shapes(size_t(random.between(8, 16)));
  for (Shape& s : shapes) {
    s = {random.between(0, width),
         random.between(height / 4, height),
         random.between(width / 40, width / 6),
         random.between(height / 40, height / 5),
         {random.between(20, 235), random.between(20, 235), random.between(20, 235)},
         random.between(3, 40)};
  }
  return shapes;
}

// The topmost (last) shape covering (x, y), or nullptr.
const Shape* shapeAt(const std::vector<Shape>& shapes, int x, int y) {
  const Shape* hit = nullptr;
  for (const Shape& s : shapes) {
    const double dx = double(x - s.cx) / s.rx, dy = double(y - s.cy) / s.ry;
    if (dx * dx + dy * dy <= 1.0) hit = &s;
  }
  return hit;
}

}  // namespace

RgbPicture syntheticPhoto(int width, int height, std::uint32_t seed, Grain grain) {
  Random random(seed);
  RgbPicture picture{width, height, std::vector<std::uint8_t>(size_t(width) * size_t(height) * 3)};
  const std::array<int, 3> sky{random.between(60, 200), random.between(90, 210), random.between(120, 240)};
  const std::array<int, 3> ground{random.between(30, 140), random.between(40, 150), random.between(10, 110)};
  const int scale = std::max(1, width / 1000);
  const Blotches large(width, height, 64 * scale, 40, random);
  const Blotches small(width, height, 6 * scale, 28, random);
  const std::vector<Shape> shapes = makeShapes(width, height, random);

  for (int y = 0; y < height; ++y) {
    std::uint8_t* out = &picture.pixels[size_t(y) * size_t(width) * 3];
    const int horizon = y * 256 / height;
    for (int x = 0; x < width; ++x) {
      const Shape* shape = shapeAt(shapes, x, y);
      // Fine blotches below the horizon only: ground has texture, the sky is smooth.
      const bool grainy = grain == Grain::Camera;
      const int light = large.at(x, y) + (grainy && horizon > 110 ? small.at(x, y) : 0);
      for (int c = 0; c < 3; ++c) {
        const int ripple = shape && grainy ? ((x + y / 2) / shape->ripple % 2) * 18 : 0;
        int value = shape ? shape->colour[size_t(c)] + ripple
                          : (sky[size_t(c)] * (256 - horizon) + ground[size_t(c)] * horizon) / 256;
        value += light + (grainy ? int(random.next() % 25) - 12 : 0);
        out[c] = std::uint8_t(std::clamp(value, 0, 255));
      }
      out += 3;
    }
  }
  return picture;
}

}  // namespace pimrose::bench
