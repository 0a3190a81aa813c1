// HEIF and AVIF: our container walk (shown size after clap and irot), then libheif's decode with
// the embedded-thumbnail choice, the row reduction and the colour profile it carries; and the
// embedded thumbnail taken out alone (its location rewritten) and decoded as the stand-in is.
#include "codecs/heif_decode.h"
#include <algorithm>

#include "codecs/heif_container.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_format.h"
#include "codecs/picture_header.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes = pimrose::fuzz::bytesOf(data, size);
  if (pimrose::sniffFormat(bytes) != pimrose::PictureFormat::Heif) return -1;  // not kept in the corpus
  const auto header = pimrose::readPictureHeader(bytes);
  pimrose::thumbnailImage(bytes, QSize(17, 11), pimrose::PreviewUse::Refused, nullptr);
  if (header && header->heifThumbnail.item != 0) {
    const auto readAt = [&](qint64 offset, qint64 count) {
      return offset < 0 || offset > bytes.size()
                 ? QByteArray()
                 : bytes.sliced(offset).first(std::min<qint64>(count, bytes.size() - offset)).toByteArray();
    };
    const QByteArray alone = pimrose::heifThumbnailAlone(bytes, header->heifThumbnail.item, readAt);
    pimrose::decodeHeifThumbnail(alone, header->heifThumbnail.item, QSize(300, 200), nullptr);
  }
  // Full decodes only of small pictures: the fuzzer's memory limit is not the decoder's.
  if (header && qint64(header->storedSize.width()) * header->storedSize.height() <= 4'000'000)
    pimrose::decodeUpright(bytes, QSize(), pimrose::PreviewUse::Refused, nullptr);
  return 0;
}
