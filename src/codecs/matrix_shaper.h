#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QImage>

#include <lcms2.h>

namespace pimrose {

// A matrix-shaper RGB profile (three tone curves and three colorants: what phones, cameras and
// editors embed) converts to sRGB by table look-ups around one 3x3 matrix: several times faster than
// lcms2's general 8-bit path, and prepared in microseconds where an lcms2 transform takes
// milliseconds. The arithmetic is lcms2's own for such a pair (relative colorimetric, which its
// perceptual intent falls back to); only the rounding differs, by less than a step.
class MatrixShaperConversion {
 public:
  // nullopt when either profile is not a matrix-shaper RGB profile.
  static std::optional<MatrixShaperConversion> between(cmsHPROFILE source, cmsHPROFILE srgb);

  // Converts in place: 32-bit words (0xAARRGGBB, as Format_RGB32/ARGB32 keep them) or R, G, B, A
  // bytes (the 8888 formats), with straight or premultiplied alpha.
  void convertWords(QImage& image, bool premultiplied) const;
  void convertBytes(QImage& image, bool premultiplied) const;

 private:
  void convert(int& r, int& g, int& b) const;

  std::array<std::array<float, 256>, 3> linear_{};  // stored value -> linear light, per channel
  std::array<float, 9> matrix_{};                   // source linear RGB -> sRGB linear RGB
  std::vector<uchar> encoded_;                      // sRGB linear light in kSteps steps -> value
};

}  // namespace pimrose
