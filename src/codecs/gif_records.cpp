#include "codecs/gif_records.h"

#include <cstring>

namespace pimrose {
namespace {

bool isLoopApplication(const GifByteType* block) {
  return block && block[0] == 11 &&
         (std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 || std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0);
}

// The sub-block after the application name: 1, then the repeat count, little-endian.
void readLoops(const GifByteType* block, std::optional<int>* loops) {
  if (loops && block && block[0] >= 3 && (block[1] & 7) == 1) *loops = block[2] | block[3] << 8;
}

}  // namespace

bool readGifExtension(GifFileType* gif, GifControl& control, std::optional<int>* loops) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
    control.transparent = (block[1] & 1) ? block[4] : -1;
    control.disposal = (block[1] >> 2) & 7;
    control.delayCs = block[2] | block[3] << 8;
  }
  const bool loopBlock = code == APPLICATION_EXT_FUNC_CODE && isLoopApplication(block);
  for (bool first = true; block; first = false) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    if (first && loopBlock) readLoops(block, loops);
  }
  return true;
}

std::vector<int> gifRowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(size_t(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  return order;
}

}  // namespace pimrose
