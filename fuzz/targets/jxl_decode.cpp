// JPEG XL: the header read from a cut file, the thumbnail that stops at a progressive step, the
// full decode, and the colour profile libjxl reports for its pixels.
#include <algorithm>

#include "codecs/picture_decoder.h"
#include "codecs/picture_format.h"
#include "codecs/picture_header.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes = pimrose::fuzz::bytesOf(data, size);
  if (pimrose::sniffFormat(bytes) != pimrose::PictureFormat::Jxl) return -1;  // not kept in the corpus
  pimrose::readPictureHeader(bytes.first(std::min<qsizetype>(bytes.size(), 64)));
  const auto header = pimrose::readPictureHeader(bytes);
  pimrose::thumbnailImage(bytes, QSize(17, 11), pimrose::PreviewUse::Refused, nullptr);
  if (header && qint64(header->storedSize.width()) * header->storedSize.height() <= 4'000'000)
    pimrose::decodeUpright(bytes, QSize(), pimrose::PreviewUse::Refused, nullptr);
  return 0;
}
