#include "tools/jpeg_encode.h"

#include <turbojpeg.h>

namespace pimrose::bench {

std::vector<std::uint8_t> encodeJpeg(const RgbPicture& picture, int quality) {
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  std::vector<std::uint8_t> out;
  if (handle && tjCompress2(handle, picture.pixels.data(), picture.width, 0, picture.height, TJPF_RGB, &jpeg,
                            &size, TJSAMP_420, quality, 0) == 0)
    out.assign(jpeg, jpeg + size);
  tjFree(jpeg);
  if (handle) tjDestroy(handle);
  return out;
}

}  // namespace pimrose::bench
