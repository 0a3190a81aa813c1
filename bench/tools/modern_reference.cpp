// The plain-library references for HEIF and JPEG XL thumbnails (reference_thumbnail.h).
#include <algorithm>
#include <memory>
#include <vector>

#include <jxl/decode.h>
#include <jxl/decode_cxx.h>
#include <libheif/heif.h>

#include "tools/reference_thumbnail.h"

namespace pimrose::bench {
namespace {

struct HeifFree {
  void operator()(heif_context* c) const { heif_context_free(c); }
  void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
  void operator()(heif_image* i) const { heif_image_release(i); }
};
template <typename T>
using Heif = std::unique_ptr<T, HeifFree>;

// A thumbnail's height at `target` wide, proportions kept.
int heightFor(int width, int height, int target) {
  return width > 0 ? std::max(1, int(std::int64_t(height) * target / width)) : 0;
}

// The smallest embedded thumbnail at least `target` x `targetHeight`, else the primary image.
Heif<heif_image_handle> sourceImage(heif_image_handle* primary, int target, int targetHeight) {
  const int count = heif_image_handle_get_number_of_thumbnails(primary);
  std::vector<heif_item_id> ids(static_cast<size_t>(std::max(0, count)));
  heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
  Heif<heif_image_handle> best;
  for (const heif_item_id id : ids) {
    heif_image_handle* thumbnail = nullptr;
    if (heif_image_handle_get_thumbnail(primary, id, &thumbnail).code) continue;
    Heif<heif_image_handle> owned(thumbnail);
    const int width = heif_image_handle_get_width(thumbnail);
    if (width >= target && heif_image_handle_get_height(thumbnail) >= targetHeight &&
        (!best || width < heif_image_handle_get_width(best.get())))
      best = std::move(owned);
  }
  return best;
}

}  // namespace

Pixels libheifThumbnail(QByteArrayView heif, int target) {
  const Heif<heif_context> context(heif_context_alloc());
  heif_context_set_max_decoding_threads(context.get(), 0);
  heif_image_handle* primary = nullptr;
  if (heif_context_read_from_memory_without_copy(context.get(), heif.data(), size_t(heif.size()), nullptr)
          .code ||
      heif_context_get_primary_image_handle(context.get(), &primary).code)
    return {};
  const Heif<heif_image_handle> owned(primary);
  const int targetHeight =
      heightFor(heif_image_handle_get_width(primary), heif_image_handle_get_height(primary), target);
  const Heif<heif_image_handle> thumbnail = sourceImage(primary, target, targetHeight);
  heif_image* raw = nullptr;
  if (heif_decode_image(thumbnail ? thumbnail.get() : primary, &raw, heif_colorspace_RGB,
                        heif_chroma_interleaved_RGBA, nullptr)
          .code)
    return {};
  const Heif<heif_image> image(raw);
  int stride = 0;
  const std::uint8_t* rows = heif_image_get_plane_readonly(raw, heif_channel_interleaved, &stride);
  return boxResize(rows, size_t(stride), heif_image_get_width(raw, heif_channel_interleaved),
                   heif_image_get_height(raw, heif_channel_interleaved), target, targetHeight);
}

Pixels libjxlThumbnail(QByteArrayView jxl, int target) {
  const JxlDecoderPtr decoder = JxlDecoderMake(nullptr);
  const JxlPixelFormat format{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
  JxlDecoderSubscribeEvents(decoder.get(),
                            JXL_DEC_BASIC_INFO | JXL_DEC_FRAME_PROGRESSION | JXL_DEC_FULL_IMAGE);
  JxlDecoderSetProgressiveDetail(decoder.get(), kPasses);
  JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(jxl.data()), size_t(jxl.size()));
  JxlDecoderCloseInput(decoder.get());
  JxlBasicInfo info{};
  std::vector<std::uint8_t> buffer;
  for (;;) {
    const JxlDecoderStatus status = JxlDecoderProcessInput(decoder.get());
    if (status == JXL_DEC_BASIC_INFO) {
      JxlDecoderGetBasicInfo(decoder.get(), &info);
    } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
      buffer.resize(size_t(info.xsize) * info.ysize * 4);
      JxlDecoderSetImageOutBuffer(decoder.get(), &format, buffer.data(), buffer.size());
    } else if (status == JXL_DEC_FRAME_PROGRESSION) {
      const int ratio = int(JxlDecoderGetIntendedDownsamplingRatio(decoder.get()));
      const int targetHeight = heightFor(int(info.xsize), int(info.ysize), target);
      if (int(info.xsize) / ratio >= target && int(info.ysize) / ratio >= targetHeight &&
          JxlDecoderFlushImage(decoder.get()) == JXL_DEC_SUCCESS)
        break;
    } else if (status == JXL_DEC_FULL_IMAGE) {
      break;
    } else {
      return {};
    }
  }
  return boxResize(buffer.data(), size_t(info.xsize) * 4, int(info.xsize), int(info.ysize), target,
                   heightFor(int(info.xsize), int(info.ysize), target));
}

}  // namespace pimrose::bench
