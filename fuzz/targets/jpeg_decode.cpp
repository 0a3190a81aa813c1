// The JPEG decode path: DCT-scaled thumbnails with and without the embedded preview, the first
// scans of a progressive JPEG, and a full decode within the pixel limit.
#include "codecs/jpeg_decode.h"
#include "codecs/decode_limits.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_format.h"
#include "codecs/picture_header.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes = pimrose::fuzz::bytesOf(data, size);
  const auto header = pimrose::readPictureHeader(bytes);
  if (!header || header->format != pimrose::PictureFormat::Jpeg) return -1;
  pimrose::thumbnailImage(bytes, QSize(24, 24), pimrose::PreviewUse::Allowed, nullptr);
  pimrose::thumbnailImage(bytes, QSize(24, 24), pimrose::PreviewUse::Refused, nullptr);
  pimrose::decodeJpegFirstScans(bytes);
  // Full decodes only of small pictures: the fuzzer's memory limit is not the decoder's.
  if (qint64(header->storedSize.width()) * header->storedSize.height() <= 4'000'000)
    pimrose::decodeUpright(bytes, QSize(), pimrose::PreviewUse::Refused, nullptr);
  return 0;
}
