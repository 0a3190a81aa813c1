#include "tools/display_p3.h"

#include <cstring>

#include <lcms2.h>

namespace pimrose::bench {

std::vector<std::uint8_t> displayP3Profile() {
  const cmsCIExyY white{0.3127, 0.3290, 1};
  const cmsCIExyYTRIPLE primaries{{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}};
  const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(curve);
  cmsUInt32Number bytes = 0;
  cmsSaveProfileToMem(profile, nullptr, &bytes);
  std::vector<std::uint8_t> icc(bytes);
  cmsSaveProfileToMem(profile, icc.data(), &bytes);
  cmsCloseProfile(profile);
  return icc;
}

std::vector<std::uint8_t> withIccProfile(const std::vector<std::uint8_t>& jpeg,
                                         const std::vector<std::uint8_t>& icc) {
  const size_t length = 2 + 12 + 2 + icc.size();  // the length itself, "ICC_PROFILE\0", piece 1 of 1
  const std::uint8_t head[] = {0xFF,
                               0xE2,
                               std::uint8_t(length >> 8),
                               std::uint8_t(length),
                               'I',
                               'C',
                               'C',
                               '_',
                               'P',
                               'R',
                               'O',
                               'F',
                               'I',
                               'L',
                               'E',
                               0,
                               1,
                               1};
  if (jpeg.size() < 2) return jpeg;
  // Copied into place: GCC 12 warns falsely about vector inserts of this shape at -O3.
  std::vector<std::uint8_t> out(jpeg.size() + sizeof head + icc.size());
  std::uint8_t* to = out.data();
  std::memcpy(to, jpeg.data(), 2);
  std::memcpy(to + 2, head, sizeof head);
  std::memcpy(to + 2 + sizeof head, icc.data(), icc.size());
  std::memcpy(to + 2 + sizeof head + icc.size(), jpeg.data() + 2, jpeg.size() - 2);
  return out;
}

}  // namespace pimrose::bench
