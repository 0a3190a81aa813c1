#include "codecs/png_decode.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <png.h>

#include <QSysInfo>

#include "codecs/box_reducer.h"
#include "codecs/decode_limits.h"
#include "codecs/picture_format.h"
#include "codecs/png_fast_path.h"
#include "codecs/probe_counts.h"

namespace pimrose {
namespace {

// Everything a decode touches lives here, outside the frame that calls setjmp, so a jump out of
// libpng skips no destructor and leaves no variable indeterminate.
struct PngJob {
  QByteArrayView data;
  qsizetype at = 0;
  QSize atLeast;
  QString error;
  QImage image;
  std::vector<uchar> row;
  std::vector<png_bytep> rowPointers;
  std::unique_ptr<BoxReducer> reducer;
  bool opaque = true;
  bool interlaced = false;
  int rowsRead = 0;         // of a picture that is not interlaced
  bool pixelsDone = false;  // every row has been read
};

void readFromJob(png_structp png, png_bytep out, size_t length) {
  auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
  if (qsizetype(length) > job->data.size() - job->at) png_error(png, "file ends early");
  std::memcpy(out, job->data.data() + job->at, length);
  job->at += qsizetype(length);
}

void failJob(png_structp png, png_const_charp message) {
  static_cast<PngJob*>(png_get_error_ptr(png))->error = QString::fromUtf8(message);
  png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

// QImage's 32-bit formats keep a pixel as one 0xAARRGGBB word: BGRA in memory on a little-endian
// machine, which libpng writes directly, so a full-size picture needs no conversion afterwards.
constexpr bool kBgraIsQImageOrder = QSysInfo::ByteOrder == QSysInfo::LittleEndian;

// Everything to four 8-bit samples, as stored: the same bytes whatever the colour type; RGBA, or
// BGRA for a full-size picture where that is QImage's order (the box reducer takes RGBA).
void requestFourSamples(png_structp png, bool bgra) {
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  if (bgra) png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
}

QString textOf(const png_text& text) {
  const auto length = qsizetype(text.compression > 0 ? text.itxt_length : text.text_length);
  // iTXt is UTF-8; tEXt and zTXt are Latin-1.
  return text.compression > 0 ? QString::fromUtf8(text.text, length) : QString::fromLatin1(text.text, length);
}

void collectTexts(png_structp png, png_infop info, PngTexts& texts) {
  png_textp chunks = nullptr;
  const int count = png_get_text(png, info, &chunks, nullptr);
  for (int i = 0; i < count; ++i) texts.append({QString::fromLatin1(chunks[i].key), textOf(chunks[i])});
}

void readFullImage(png_structp png, PngJob& job, QSize size) {
  if (!fitsDecodeLimit(size)) png_error(png, "picture too large for a full decode");
  // Filled with 0xFF alpha, an opaque picture's words are RGB32 as they stand.
  const QImage::Format format = !kBgraIsQImageOrder ? QImage::Format_RGBA8888
                                : job.opaque        ? QImage::Format_RGB32
                                                    : QImage::Format_ARGB32;
  job.image = QImage(size, format);
  if (job.image.isNull()) png_error(png, "out of memory");
  if (!job.interlaced) {
    for (; job.rowsRead < size.height(); ++job.rowsRead)
      png_read_row(png, job.image.scanLine(job.rowsRead), nullptr);
    return;
  }
  job.rowPointers.resize(size_t(size.height()));
  for (int y = 0; y < size.height(); ++y) job.rowPointers[size_t(y)] = job.image.scanLine(y);
  png_read_image(png, job.rowPointers.data());
}

void readReduced(png_structp png, PngJob& job, QSize size, int factor) {
  job.reducer = std::make_unique<BoxReducer>(size.width(), size.height(), factor);
  if (job.reducer->result().isNull()) png_error(png, "out of memory");
  job.row.resize(size_t(size.width()) * 4);
  for (; job.rowsRead < size.height(); ++job.rowsRead) {
    png_read_row(png, job.row.data(), nullptr);
    job.reducer->addRow(job.row.data());
  }
}

// No single block libpng needs for a picture comes near this: rows are at most 65535 × 8 bytes and the
// whole picture is ours. libpng sizes a chunk's buffer by the length the chunk claims, so a few
// hundred bytes could otherwise ask for gigabytes; both the chunk limit and the allocator refuse.
constexpr png_alloc_size_t kMaxPngBlockBytes = 16 * 1024 * 1024;

png_voidp boundedMalloc(png_structp, png_alloc_size_t size) {
  return size <= kMaxPngBlockBytes ? std::malloc(size) : nullptr;  // libpng reports the refusal
}

void boundedFree(png_structp, png_voidp block) {
  std::free(block);
}

bool runDecode(png_structp png, png_infop info, PngJob& job) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &job, readFromJob);
  png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
  png_set_chunk_malloc_max(png, kMaxPngBlockBytes);  // a larger ancillary chunk is skipped
  png_read_info(png, info);
  const QSize size(int(png_get_image_width(png, info)), int(png_get_image_height(png, info)));
  job.opaque =
      !(png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS);
  const int factor = BoxReducer::factorCovering(size, job.atLeast);
  // Interlaced rows arrive in seven passes over the whole picture: they can only be reduced afterwards.
  job.interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
  const bool full = factor == 1 || job.interlaced;
  requestFourSamples(png, full && kBgraIsQImageOrder);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (full)
    readFullImage(png, job, size);
  else
    readReduced(png, job, size, factor);
  job.pixelsDone = true;
  png_read_end(png, info);
  return true;
}

// A file cut short (or damaged) after some rows of a picture that is not interlaced still shows
// those rows, as browsers and file managers show them; the rows it does not hold stay clear.
bool hasSomePixels(const PngJob& job) {
  return job.pixelsDone || (!job.interlaced && job.rowsRead > 0);
}

QImage finish(PngJob& job) {
  if (job.reducer) {
    if (!job.pixelsDone) job.reducer->addClearRowsToEnd();
    return job.reducer->result();
  }
  QImage image = job.image.format() != QImage::Format_RGBA8888
                     ? job.image
                     : job.image.convertToFormat(job.opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
  if (job.pixelsDone) return image;
  if (image.format() == QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = job.rowsRead; y < image.height(); ++y) std::fill_n(image.scanLine(y), image.bytesPerLine(), 0);
  return image;
}

// A text chunk's key and value: tEXt is Latin-1; iTXt is UTF-8 after its compression flag, method,
// language and translated key, and is left out when compressed.
std::optional<std::pair<QString, QString>> plainText(QByteArrayView body, bool international) {
  const qsizetype keyEnd = body.indexOf('\0');
  if (keyEnd <= 0) return std::nullopt;
  const QString key = QString::fromLatin1(body.first(keyEnd));
  if (!international) return std::pair(key, QString::fromLatin1(body.sliced(keyEnd + 1)));
  if (body.size() < keyEnd + 3 || body[keyEnd + 1] != 0) return std::nullopt;
  const qsizetype languageEnd = body.indexOf('\0', keyEnd + 3);
  const qsizetype translatedEnd = languageEnd < 0 ? -1 : body.indexOf('\0', languageEnd + 1);
  if (translatedEnd < 0) return std::nullopt;
  return std::pair(key, QString::fromUtf8(body.sliced(translatedEnd + 1)));
}

}  // namespace

std::optional<QSize> pngStoredSize(QByteArrayView data) {
  ++threadProbeCounts().headerParses;
  if (!startsLikePng(data) || data.size() < 24 || data.sliced(12, 4) != "IHDR") return std::nullopt;
  const quint32 width = readBigEndian32(data.data() + 16);
  const quint32 height = readBigEndian32(data.data() + 20);
  if (width > quint32(kMaxPictureSide) || height > quint32(kMaxPictureSide)) return std::nullopt;
  return QSize(int(width), int(height));
}

std::optional<PngHead> readPngHead(QByteArrayView data) {
  const std::optional<QSize> size = pngStoredSize(data);
  if (!size) return std::nullopt;
  PngHead head{*size, {}};
  for (qsizetype at = 8; at + 12 <= data.size();) {
    const qsizetype length = readBigEndian32(data.data() + at);
    const QByteArrayView kind = data.sliced(at + 4, 4);
    if (kind == "IDAT" || length > data.size() - at - 12) break;
    const QByteArrayView body = data.sliced(at + 8, length);
    if (kind == "tEXt" || kind == "iTXt") {
      if (std::optional<std::pair<QString, QString>> text = plainText(body, kind == "iTXt"))
        head.texts.append(*text);
    }
    at += 12 + length;
  }
  return head;
}

QImage decodePng(QByteArrayView data, QSize atLeast, QString* error, PngTexts* texts, bool* whole) {
  if (!texts) {
    if (std::optional<QImage> fast = decodePngFastPath(data, atLeast)) {
      if (whole) *whole = true;
      return std::move(*fast);
    }
  }
  PngJob job;
  job.data = data;
  job.atLeast = atLeast;
  if (texts) texts->clear();
  png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &job, failJob, ignoreWarning, nullptr,
                                             boundedMalloc, boundedFree);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = info && (runDecode(png, info, job) || hasSomePixels(job));
  if (ok && texts) collectTexts(png, info, *texts);
  if (whole) *whole = job.pixelsDone;
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) {
    if (error) *error = job.error.isEmpty() ? QStringLiteral("not a readable PNG") : job.error;
    return {};
  }
  return finish(job);
}

}  // namespace pimrose
