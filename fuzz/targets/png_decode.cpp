// PNG through the picture layer: header, full decode, the row-reducing thumbnail decode and the
// reduction to an exact size that cached icons take.
#include "codecs/picture_decoder.h"
#include "codecs/picture_format.h"
#include "codecs/picture_header.h"
#include "codecs/png_fast_path.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes = pimrose::fuzz::bytesOf(data, size);
  if (pimrose::sniffFormat(bytes) != pimrose::PictureFormat::Png) return -1;  // not kept in the corpus
  const auto header = pimrose::readPictureHeader(bytes);
  // Full decodes only of small pictures: the decoder's own limit (100 million pixels) is for the
  // viewer, and each one would cost the fuzzer a second.
  if (header && qint64(header->storedSize.width()) * header->storedSize.height() <= 4'000'000)
    pimrose::decodeUpright(bytes, QSize(), pimrose::PreviewUse::Refused, nullptr);
  pimrose::thumbnailImage(bytes, QSize(17, 11), pimrose::PreviewUse::Allowed, nullptr);
  pimrose::decodePngFastPathTo(bytes, QSize(17, 11));
  return 0;
}
