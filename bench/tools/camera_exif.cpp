#include "tools/camera_exif.h"

namespace pimrose::bench {
namespace {

void put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {  // little-endian
  for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

void putEntry(std::vector<std::uint8_t>& out, std::uint16_t tag, std::uint32_t value) {
  put(out, tag, 2);
  put(out, 4, 2);  // LONG
  put(out, 1, 4);  // one of them
  put(out, value, 4);
}

}  // namespace

std::vector<std::uint8_t> withCameraPreview(const std::vector<std::uint8_t>& jpeg,
                                            const std::vector<std::uint8_t>& preview) {
  if (jpeg.size() < 2) return jpeg;
  // TIFF header, an empty IFD0 that links to IFD1, IFD1 naming where the preview lies, the preview.
  std::vector<std::uint8_t> tiff{'I', 'I', 42, 0};
  put(tiff, 8, 4);
  constexpr std::uint32_t kIfd1 = 8 + 2 + 4;
  put(tiff, 0, 2);
  put(tiff, kIfd1, 4);
  put(tiff, 2, 2);
  putEntry(tiff, 0x0201, kIfd1 + 2 + 2 * 12 + 4);
  putEntry(tiff, 0x0202, std::uint32_t(preview.size()));
  put(tiff, 0, 4);
  tiff.insert(tiff.end(), preview.begin(), preview.end());

  const std::size_t length = 2 + 6 + tiff.size();
  if (length > 0xFFFF) return jpeg;  // an Exif block holds at most 64 KB
  std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
  out.insert(out.end(), {0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length & 0xFF)});
  out.insert(out.end(), {'E', 'x', 'i', 'f', 0, 0});
  out.insert(out.end(), tiff.begin(), tiff.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

}  // namespace pimrose::bench
