#include "codecs/jxl_decode.h"

#include <algorithm>
#include <memory>

#include <QImage>

#include "codecs/decode_limits.h"
#include "codecs/jxl_library.h"
#include "codecs/probe_counts.h"
#include "codecs/rgba_rows.h"

namespace pimrose {
namespace {

// Called only once jxlLibrary() has answered a library: every decoder comes from makeDecoder().
const JxlLibrary& jxl() {
  return *jxlLibrary();
}

struct DecoderFree {
  void operator()(JxlDecoder* decoder) const { jxl().JxlDecoderDestroy(decoder); }
};
using Decoder = std::unique_ptr<JxlDecoder, DecoderFree>;

// Null when libjxl cannot be opened or has no memory.
Decoder makeDecoder() {
  return jxlLibrary() ? Decoder(jxl().JxlDecoderCreate(nullptr)) : nullptr;
}

constexpr JxlPixelFormat kRgba8{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
constexpr size_t kMaxProfileBytes = 16 * 1024 * 1024;

QSize shownSize(const JxlBasicInfo& info) {
  const QSize stored(int(std::min<quint32>(info.xsize, 0x7FFFFFFF)),
                     int(std::min<quint32>(info.ysize, 0x7FFFFFFF)));
  return info.orientation > JXL_ORIENT_ROTATE_180 ? stored.transposed() : stored;  // 5 to 8 lie on their side
}

bool isSrgb(const JxlColorEncoding& c) {
  return c.color_space == JXL_COLOR_SPACE_RGB && c.white_point == JXL_WHITE_POINT_D65 &&
         c.primaries == JXL_PRIMARIES_SRGB && c.transfer_function == JXL_TRANSFER_FUNCTION_SRGB;
}

// Everything one decode carries from event to event.
struct JxlJob {
  QSize atLeast;
  JxlBasicInfo info{};
  QImage image;  // the whole picture, upright, as libjxl writes it
  ColourProfile colour;
  QString error;
};

bool fail(JxlJob& job, const QString& why) {
  job.error = why;
  return false;
}

bool readInfo(JxlDecoder* decoder, JxlJob& job) {
  if (jxl().JxlDecoderGetBasicInfo(decoder, &job.info) != JXL_DEC_SUCCESS)
    return fail(job, QStringLiteral("no header"));
  const QSize size = shownSize(job.info);
  if (!isBelievableSize(size) || !fitsDecodeLimit(size))
    return fail(job,
                QStringLiteral("picture too large to decode: %1x%2").arg(size.width()).arg(size.height()));
  return true;
}

// Pictures coded in XYB (lossy ones) are rendered by libjxl itself in whatever space is asked for:
// sRGB, so no second pass is needed. The others come in their own space, with its profile.
void chooseColours(JxlDecoder* decoder, JxlJob& job) {
  JxlColorEncoding srgb;
  jxl().JxlColorEncodingSetToSRGB(&srgb, job.info.num_color_channels == 1);
  if (!job.info.uses_original_profile) jxl().JxlDecoderSetPreferredColorProfile(decoder, &srgb);
  JxlColorEncoding encoding;
  if (jxl().JxlDecoderGetColorAsEncodedProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &encoding) ==
          JXL_DEC_SUCCESS &&
      isSrgb(encoding))
    return;
  size_t bytes = 0;
  if (jxl().JxlDecoderGetICCProfileSize(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &bytes) !=
          JXL_DEC_SUCCESS ||
      bytes == 0 || bytes > kMaxProfileBytes)
    return;
  QByteArray icc(qsizetype(bytes), Qt::Uninitialized);
  if (jxl().JxlDecoderGetColorAsICCProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                           reinterpret_cast<uint8_t*>(icc.data()), bytes) == JXL_DEC_SUCCESS)
    job.colour = ColourProfile::fromIcc(icc);
}

bool setOutput(JxlDecoder* decoder, JxlJob& job) {
  job.image =
      QImage(shownSize(job.info), job.info.alpha_bits ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
  size_t needed = 0;
  if (job.image.isNull()) return fail(job, QStringLiteral("out of memory"));
  if (jxl().JxlDecoderImageOutBufferSize(decoder, &kRgba8, &needed) != JXL_DEC_SUCCESS ||
      needed > size_t(job.image.sizeInBytes()) ||
      jxl().JxlDecoderSetImageOutBuffer(decoder, &kRgba8, job.image.bits(),
                                        size_t(job.image.sizeInBytes())) != JXL_DEC_SUCCESS)
    return fail(job, QStringLiteral("libjxl refused the output buffer"));
  return true;
}

// Whether the progressive step just reached has the resolution the caller needs.
bool stepCovers(JxlDecoder* decoder, const JxlJob& job) {
  const int ratio = int(jxl().JxlDecoderGetIntendedDownsamplingRatio(decoder));
  const QSize size = shownSize(job.info);
  return ratio >= 1 && size.width() / ratio >= job.atLeast.width() &&
         size.height() / ratio >= job.atLeast.height();
}

TaggedPicture finish(JxlJob& job) {
  if (job.image.isNull() || job.atLeast.isEmpty()) return {job.image, job.colour};
  const QImage reduced = imageFromRgbaRows(job.image.constBits(), job.image.bytesPerLine(), job.image.size(),
                                           !job.info.alpha_bits, job.atLeast);
  return {reduced, job.colour};
}

// Runs the decoder until the picture (or a progressive step that covers `atLeast`) is there.
bool runDecoder(JxlDecoder* decoder, JxlJob& job) {
  for (;;) {
    switch (jxl().JxlDecoderProcessInput(decoder)) {
      case JXL_DEC_BASIC_INFO:
        if (!readInfo(decoder, job)) return false;
        break;
      case JXL_DEC_COLOR_ENCODING:
        chooseColours(decoder, job);
        break;
      case JXL_DEC_NEED_IMAGE_OUT_BUFFER:
        if (!setOutput(decoder, job)) return false;
        break;
      case JXL_DEC_FRAME_PROGRESSION:
        if (stepCovers(decoder, job) && jxl().JxlDecoderFlushImage(decoder) == JXL_DEC_SUCCESS) return true;
        break;
      case JXL_DEC_FULL_IMAGE:  // the first frame is the picture
        return true;
      case JXL_DEC_SUCCESS:
        return !job.image.isNull() || fail(job, QStringLiteral("no picture in the file"));
      default:
        return fail(job, QStringLiteral("damaged or cut short JPEG XL data"));
    }
  }
}

}  // namespace

bool isJxlFile(QByteArrayView data) {
  return data.startsWith("\xFF\x0A") || data.startsWith(QByteArrayView("\0\0\0\x0CJXL \r\n\x87\n", 12));
}

std::optional<QSize> jxlShownSize(QByteArrayView data) {
  ++threadProbeCounts().headerParses;
  if (!isJxlFile(data)) return std::nullopt;
  const Decoder decoder = makeDecoder();
  if (!decoder || jxl().JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO) != JXL_DEC_SUCCESS ||
      jxl().JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(data.data()),
                               size_t(data.size())) != JXL_DEC_SUCCESS)
    return std::nullopt;
  JxlBasicInfo info;
  if (jxl().JxlDecoderProcessInput(decoder.get()) != JXL_DEC_BASIC_INFO ||
      jxl().JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS)
    return std::nullopt;
  return shownSize(info);
}

TaggedPicture decodeJxl(QByteArrayView data, QSize atLeast, QString* error) {
  JxlJob job;
  job.atLeast = atLeast;
  const Decoder decoder = makeDecoder();
  int events = JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE;
  if (!atLeast.isEmpty()) events |= JXL_DEC_FRAME_PROGRESSION;
  const bool ready = decoder && jxl().JxlDecoderSubscribeEvents(decoder.get(), events) == JXL_DEC_SUCCESS &&
                     (atLeast.isEmpty() ||
                      jxl().JxlDecoderSetProgressiveDetail(decoder.get(), kPasses) == JXL_DEC_SUCCESS) &&
                     jxl().JxlDecoderSetUnpremultiplyAlpha(decoder.get(), JXL_TRUE) == JXL_DEC_SUCCESS &&
                     jxl().JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(data.data()),
                                              size_t(data.size())) == JXL_DEC_SUCCESS;
  if (ready) jxl().JxlDecoderCloseInput(decoder.get());
  if (!ready || !runDecoder(decoder.get(), job)) {
    if (error) *error = job.error.isEmpty() ? QStringLiteral("libjxl could not start") : job.error;
    return {};
  }
  return finish(job);
}

}  // namespace pimrose
