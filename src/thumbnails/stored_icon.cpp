#include "thumbnails/stored_icon.h"

#include <sys/mman.h>

#include <cstring>

namespace pimrose {
namespace {

// The mapping's length sits in front of the pixels, so the image's clean-up knows what to unmap.
constexpr size_t kHeader = 64;

void unmapIcon(void* mapping) {
  size_t length = 0;
  std::memcpy(&length, mapping, sizeof length);
  ::munmap(mapping, length);
}

}  // namespace

QImage storedIcon(const QImage& thumbnail) {
  if (thumbnail.isNull()) return {};
  QImage converted = thumbnail.convertToFormat(
      thumbnail.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB888);
  const size_t pixels = size_t(converted.sizeInBytes());
  const size_t length = kHeader + pixels;
  void* mapping =
      ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (mapping == MAP_FAILED) return converted;  // the heap copy serves as well, only less tidily
  std::memcpy(mapping, &length, sizeof length);
  uchar* bits = static_cast<uchar*>(mapping) + kHeader;
  std::memcpy(bits, converted.constBits(), pixels);
  QImage icon(bits, converted.width(), converted.height(), converted.bytesPerLine(), converted.format(),
              unmapIcon, mapping);
  icon.setDevicePixelRatio(thumbnail.devicePixelRatio());
  return icon;
}

}  // namespace pimrose
