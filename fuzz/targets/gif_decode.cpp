// GIF through the picture layer: header, full decode and the row-reducing (interlaced or not) thumbnail
// decode; and its frames as the viewer plays them (disposal, restored areas, a second pass).
#include "codecs/gif_frames.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_format.h"
#include "codecs/picture_header.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes = pimrose::fuzz::bytesOf(data, size);
  if (pimrose::sniffFormat(bytes) != pimrose::PictureFormat::Gif) return -1;  // not kept in the corpus
  const auto header = pimrose::readPictureHeader(bytes);
  // Full decodes only of small pictures: the decoder's own limit (100 million pixels) is for the
  // viewer, and each one would cost the fuzzer a second.
  if (header && qint64(header->storedSize.width()) * header->storedSize.height() <= 4'000'000)
    pimrose::decodeUpright(bytes, QSize(), pimrose::PreviewUse::Refused, nullptr);
  pimrose::thumbnailImage(bytes, QSize(17, 11), pimrose::PreviewUse::Allowed, nullptr);
  if (header && qint64(header->storedSize.width()) * header->storedSize.height() <= 1'000'000) {
    const QByteArray copy = bytes.toByteArray();
    const auto frames = pimrose::openGifFrames([&](qint64 at, qint64 count) { return copy.mid(at, count); });
    for (int pass = 0; frames && pass < 2; ++pass) {
      int frame = 0;
      while (frame < 64 && frames->next()) ++frame;
      if (!frames->rewind()) break;
    }
  }
  return 0;
}
