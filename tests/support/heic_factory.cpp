#include "support/heic_factory.h"

#include <cstring>
#include <memory>

#include <libheif/heif.h>

namespace pimrose::test {
namespace {

struct Freer {
  void operator()(heif_context* c) const { heif_context_free(c); }
  void operator()(heif_encoder* e) const { heif_encoder_release(e); }
  void operator()(heif_image* i) const { heif_image_release(i); }
  void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
template <typename T>
using Owned = std::unique_ptr<T, Freer>;

Owned<heif_image> heifImageOf(const QImage& source) {
  const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
  heif_image* raw = nullptr;
  heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &raw);
  Owned<heif_image> image(raw);
  heif_image_add_plane(raw, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
  int stride = 0;
  uint8_t* rows = heif_image_get_plane(raw, heif_channel_interleaved, &stride);
  for (int y = 0; y < rgb.height(); ++y)
    std::memcpy(rows + y * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
  return image;
}

heif_error appended(heif_context*, const void* data, size_t size, void* userdata) {
  static_cast<QByteArray*>(userdata)->append(static_cast<const char*>(data), qsizetype(size));
  return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
}

}  // namespace

QByteArray heicWithThumbnail(const QImage& picture, const QImage& thumbnail, int thumbnailSide) {
  const Owned<heif_context> context(heif_context_alloc());
  heif_encoder* rawEncoder = nullptr;
  if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder).code) return {};
  const Owned<heif_encoder> encoder(rawEncoder);
  heif_encoder_set_lossy_quality(encoder.get(), 90);
  const Owned<heif_image> image = heifImageOf(picture), small = heifImageOf(thumbnail);
  heif_image_handle* rawHandle = nullptr;
  if (heif_context_encode_image(context.get(), image.get(), encoder.get(), nullptr, &rawHandle).code)
    return {};
  const Owned<heif_image_handle> handle(rawHandle);
  if (heif_context_encode_thumbnail(context.get(), small.get(), rawHandle, encoder.get(), nullptr,
                                    thumbnailSide, nullptr)
          .code)
    return {};
  QByteArray bytes;
  heif_writer writer{1, appended};
  return heif_context_write(context.get(), &writer, &bytes).code ? QByteArray() : bytes;
}

}  // namespace pimrose::test
