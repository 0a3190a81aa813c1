#include "codecs/heif_decode.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "codecs/box_reducer.h"
#include "codecs/decode_limits.h"
#include "codecs/heif_container.h"
#include "codecs/heif_library.h"
#include "codecs/rgba_rows.h"

namespace pimrose {
namespace {

// Called only once heifLibrary() has answered a library: every entry point checks first.
const HeifLibrary& heif() {
  return *heifLibrary();
}

struct HeifFree {
  void operator()(heif_context* context) const { heif().heif_context_free(context); }
  void operator()(heif_image_handle* handle) const { heif().heif_image_handle_release(handle); }
  void operator()(heif_image* image) const { heif().heif_image_release(image); }
  void operator()(heif_decoding_options* options) const { heif().heif_decoding_options_free(options); }
  void operator()(heif_color_profile_nclx* nclx) const { heif().heif_nclx_color_profile_free(nclx); }
};
template <typename T>
using Owned = std::unique_ptr<T, HeifFree>;

// The largest canvas libheif may make for a picture: a grid claims its canvas size in data of its
// own, and a 1 KB file claiming 24950 x 12337 made libheif allocate 1.2 GB for a 48 x 32 picture.
// The canvas is the item's `ispe` size (the coded size rounds it up a little); small pictures may sit
// in a larger tile. libheif's own bound, 32768 a side, is never raised.
int canvasLimit(const heif_image_handle* handle) {
  const int side = std::max(heif().heif_image_handle_get_ispe_width(handle),
                            heif().heif_image_handle_get_ispe_height(handle));
  return std::clamp((side + 63) / 64 * 64, 2048, 32768);
}

// A profile larger than this is no profile a picture needs.
constexpr size_t kMaxProfileBytes = 16 * 1024 * 1024;

bool failed(const heif_error& result, QString* error) {
  if (result.code == heif_error_Ok) return false;
  if (error) *error = QString::fromUtf8(result.message);
  return true;
}

QSize shownSize(const heif_image_handle* handle) {
  return {heif().heif_image_handle_get_width(handle), heif().heif_image_handle_get_height(handle)};
}

// The smallest embedded thumbnail that covers `atLeast` and has the picture's shape.
Owned<heif_image_handle> coveringThumbnail(const heif_image_handle* primary, QSize atLeast) {
  const int count = atLeast.isEmpty() ? 0 : heif().heif_image_handle_get_number_of_thumbnails(primary);
  if (count <= 0) return nullptr;
  std::vector<heif_item_id> ids(static_cast<size_t>(count));
  ids.resize(size_t(
      std::clamp(heif().heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count), 0, count)));
  Owned<heif_image_handle> best;
  for (const heif_item_id id : ids) {
    heif_image_handle* raw = nullptr;
    const heif_error result = heif().heif_image_handle_get_thumbnail(primary, id, &raw);
    Owned<heif_image_handle> thumbnail(raw);
    if (result.code != heif_error_Ok || !raw) continue;
    const QSize size = shownSize(raw);
    if (size.width() < atLeast.width() || size.height() < atLeast.height() ||
        !heifSameShape(size, shownSize(primary)))
      continue;
    if (!best || size.width() < shownSize(best.get()).width()) best = std::move(thumbnail);
  }
  return best;
}

// The tone curve an nclx transfer code stands for. The BT.709 family is shown with the sRGB curve,
// as viewers do; PQ and HLG need tone mapping, which is not done here: such pictures stay untagged.
std::optional<ToneCurve> curveOf(heif_transfer_characteristics transfer) {
  switch (transfer) {
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_M:
      return ToneCurve{ToneCurve::Power, 2.2};
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_B_G:
      return ToneCurve{ToneCurve::Power, 2.8};
    case heif_transfer_characteristic_linear:
      return ToneCurve{ToneCurve::Power, 1.0};
    case heif_transfer_characteristic_IEC_61966_2_1:
    case heif_transfer_characteristic_unspecified:
    case heif_transfer_characteristic_ITU_R_BT_709_5:
    case heif_transfer_characteristic_ITU_R_BT_601_6:
    case heif_transfer_characteristic_ITU_R_BT_2020_2_10bit:
    case heif_transfer_characteristic_ITU_R_BT_2020_2_12bit:
      return ToneCurve{};
    default:
      return std::nullopt;
  }
}

ColourProfile nclxProfile(const heif_color_profile_nclx& nclx) {
  const std::optional<ToneCurve> curve = curveOf(nclx.transfer_characteristics);
  if (!curve) return {};
  if (nclx.color_primaries == heif_color_primaries_unspecified)
    return ColourProfile::fromPrimaries(kSrgbChromaticities, *curve);
  const Chromaticities primaries{nclx.color_primary_white_x, nclx.color_primary_white_y,
                                 nclx.color_primary_red_x,   nclx.color_primary_red_y,
                                 nclx.color_primary_green_x, nclx.color_primary_green_y,
                                 nclx.color_primary_blue_x,  nclx.color_primary_blue_y};
  if (primaries.whiteY <= 0 || primaries.redY <= 0 || primaries.greenY <= 0 || primaries.blueY <= 0)
    return {};
  return ColourProfile::fromPrimaries(primaries, *curve);
}

// An ICC profile describes the decoded RGB when there is one; the nclx box otherwise.
ColourProfile colourOf(const heif_image_handle* handle) {
  const size_t iccBytes = heif().heif_image_handle_get_raw_color_profile_size(handle);
  if (iccBytes > 0 && iccBytes <= kMaxProfileBytes) {
    QByteArray icc(qsizetype(iccBytes), Qt::Uninitialized);
    if (heif().heif_image_handle_get_raw_color_profile(handle, icc.data()).code == heif_error_Ok)
      return ColourProfile::fromIcc(icc);
  }
  heif_color_profile_nclx* raw = nullptr;
  const heif_error result = heif().heif_image_handle_get_nclx_color_profile(handle, &raw);
  // libheif may hand over the profile with an error (primaries it does not know): it is ours to free.
  const Owned<heif_color_profile_nclx> nclx(raw);
  return result.code == heif_error_Ok && nclx ? nclxProfile(*nclx) : ColourProfile();
}

bool hasColour(const heif_image_handle* handle) {
  return heif().heif_image_handle_get_color_profile_type(handle) != heif_color_profile_type_not_present;
}

// The decoded pixels as an image without copying them: the image releases libheif's.
QImage wrapped(Owned<heif_image> decoded, uchar* rows, int stride, QSize size, QImage::Format format) {
  heif_image* raw = decoded.release();
  const auto release = [](void* image) { heif().heif_image_release(static_cast<heif_image*>(image)); };
  return QImage(rows, size.width(), size.height(), stride, format, release, raw);
}

QImage decodeHandle(const heif_image_handle* handle, QSize atLeast, QString* error) {
  const QSize size = shownSize(handle);
  if (!isBelievableSize(size) || !fitsDecodeLimit(size)) {
    if (error)
      *error = QStringLiteral("picture too large to decode: %1x%2").arg(size.width()).arg(size.height());
    return {};
  }
  const Owned<heif_decoding_options> options(heif().heif_decoding_options_alloc());
  if (options && options->version >= 2) options->convert_hdr_to_8bit = 1;
  heif_image* raw = nullptr;
  const heif_error result = heif().heif_decode_image(handle, &raw, heif_colorspace_RGB,
                                                     heif_chroma_interleaved_RGBA, options.get());
  Owned<heif_image> decoded(raw);
  if (failed(result, error) || !raw) return {};
  int stride = 0;
  uchar* rows = heif().heif_image_get_plane(raw, heif_channel_interleaved, &stride);
  const QSize got(heif().heif_image_get_width(raw, heif_channel_interleaved),
                  heif().heif_image_get_height(raw, heif_channel_interleaved));
  if (!rows || got.isEmpty() || heif().heif_image_get_bits_per_pixel(raw, heif_channel_interleaved) != 32 ||
      stride < got.width() * 4) {
    if (error) *error = QStringLiteral("libheif gave no 8-bit RGBA pixels");
    return {};
  }
  const bool opaque = !heif().heif_image_handle_has_alpha_channel(handle);
  if (heif().heif_image_handle_is_premultiplied_alpha(handle))
    return wrapped(std::move(decoded), rows, stride, got, QImage::Format_RGBA8888_Premultiplied);
  if (BoxReducer::factorCovering(got, atLeast) == 1)
    return wrapped(std::move(decoded), rows, stride, got,
                   opaque ? QImage::Format_RGBX8888 : QImage::Format_RGBA8888);
  QImage reduced = imageFromRgbaRows(rows, stride, got, opaque, atLeast);
  if (reduced.isNull() && error) *error = QStringLiteral("out of memory");
  return reduced;
}

}  // namespace

bool heifDecodes() {
  return heifLibrary() && heif().heif_have_decoder_for_format(heif_compression_HEVC);
}

bool avifDecodes() {
  return heifLibrary() && heif().heif_have_decoder_for_format(heif_compression_AV1);
}

namespace {

// A file read by libheif and its primary image; null handle on failure, with `error` set.
struct OpenedHeif {
  Owned<heif_context> context;
  Owned<heif_image_handle> primary;
};

OpenedHeif openHeif(QByteArrayView data, QString* error) {
  if (!heifLibrary()) {
    if (error) *error = QStringLiteral("libheif could not be opened");
    return {};
  }
  OpenedHeif opened{Owned<heif_context>(heif().heif_context_alloc()), nullptr};
  if (!opened.context) {
    if (error) *error = QStringLiteral("out of memory");
    return opened;
  }
  // The loaders already decode one picture per core.
  heif().heif_context_set_max_decoding_threads(opened.context.get(), 0);
  if (failed(heif().heif_context_read_from_memory_without_copy(opened.context.get(), data.data(),
                                                               size_t(data.size()), nullptr),
             error))
    return opened;
  heif_image_handle* raw = nullptr;
  const heif_error result = heif().heif_context_get_primary_image_handle(opened.context.get(), &raw);
  // Every handle libheif gives is ours to release, whatever the result says.
  opened.primary.reset(raw);
  if (failed(result, error)) opened.primary.reset();
  return opened;
}

// `chosen` (the primary image or one of its thumbnails) with its colours.
TaggedPicture decodeChosen(const OpenedHeif& opened, const heif_image_handle* chosen, QSize atLeast,
                           QString* error) {
  heif().heif_context_set_maximum_image_size_limit(opened.context.get(), canvasLimit(chosen));
  TaggedPicture picture{decodeHandle(chosen, atLeast, error), {}};
  if (!picture.image.isNull()) picture.colour = colourOf(hasColour(chosen) ? chosen : opened.primary.get());
  return picture;
}

}  // namespace

TaggedPicture decodeHeif(QByteArrayView data, QSize atLeast, QString* error) {
  const OpenedHeif opened = openHeif(data, error);
  if (!opened.primary) return {};
  const Owned<heif_image_handle> thumbnail = coveringThumbnail(opened.primary.get(), atLeast);
  return decodeChosen(opened, thumbnail ? thumbnail.get() : opened.primary.get(), atLeast, error);
}

TaggedPicture decodeHeifThumbnail(QByteArrayView data, quint32 item, QSize atLeast, QString* error) {
  const OpenedHeif opened = openHeif(data, error);
  if (!opened.primary) return {};
  heif_image_handle* raw = nullptr;
  const heif_error result =
      heif().heif_image_handle_get_thumbnail(opened.primary.get(), heif_item_id(item), &raw);
  const Owned<heif_image_handle> thumbnail(raw);
  if (failed(result, error) || !raw) return {};
  // Only a thumbnail of the picture's shape stands for it, whatever the header said.
  if (!heifSameShape(shownSize(raw), shownSize(opened.primary.get()))) {
    if (error) *error = QStringLiteral("the thumbnail does not have the picture's shape");
    return {};
  }
  return decodeChosen(opened, raw, atLeast, error);
}

}  // namespace pimrose
