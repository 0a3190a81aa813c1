#include "tools/reference_thumbnail.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include <gif_lib.h>
#include <png.h>
#include <turbojpeg.h>

namespace pimrose::bench {
namespace {

struct TurboHandle {
  tjhandle handle = tjInitDecompress();
  ~TurboHandle() {
    if (handle) tjDestroy(handle);
  }
};

struct GifSource {
  QByteArrayView bytes;
  qsizetype offset = 0;
};

int readGif(GifFileType* gif, GifByteType* out, int length) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  const qsizetype count = std::min<qsizetype>(length, source->bytes.size() - source->offset);
  std::memcpy(out, source->bytes.data() + source->offset, size_t(count));
  source->offset += count;
  return int(count);
}

// One destination row range [begin, end) of source coordinates for destination index i.
std::pair<int, int> span(int i, int sourceLength, int length) {
  const int begin = int(std::int64_t(i) * sourceLength / length);
  const int end = int(std::int64_t(i + 1) * sourceLength / length);
  return {begin, std::max(end, begin + 1)};
}

}  // namespace

Scale turboJpegScaleFor(int width, int height, int target, int targetHeight) {
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  Scale best;
  for (int i = 0; i < count; ++i) {
    const tjscalingfactor f = factors[i];
    if (f.num > f.denom) continue;
    const bool covers = TJSCALED(width, f) >= target && TJSCALED(height, f) >= targetHeight;
    if (covers && f.num * best.denom < best.num * f.denom) best = {f.num, f.denom};
  }
  return best;
}

Pixels boxResize(const Pixels& source, int width, int height) {
  return boxResize(source.bgra.data(), size_t(source.width) * 4, source.width, source.height, width, height);
}

Pixels boxResize(const std::uint8_t* rows, std::size_t stride, int sourceWidth, int sourceHeight, int width,
                 int height) {
  Pixels out{width, height, std::vector<std::uint8_t>(size_t(width) * size_t(height) * 4)};
  if (sourceWidth <= 0 || sourceHeight <= 0) return {};
  std::uint8_t* to = out.bgra.data();
  for (int y = 0; y < height; ++y) {
    const auto [y0, y1] = span(y, sourceHeight, height);
    for (int x = 0; x < width; ++x) {
      const auto [x0, x1] = span(x, sourceWidth, width);
      std::uint32_t sum[4] = {0, 0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        const std::uint8_t* from = rows + size_t(sy) * stride + size_t(x0) * 4;
        for (int sx = x0; sx < x1; ++sx, from += 4)
          for (int c = 0; c < 4; ++c) sum[c] += from[c];
      }
      const std::uint32_t area = std::uint32_t((x1 - x0) * (y1 - y0));
      for (int c = 0; c < 4; ++c) *to++ = std::uint8_t((sum[c] + area / 2) / area);
    }
  }
  return out;
}

Pixels turboJpegDecode(QByteArrayView jpeg, int target, int targetHeight) {
  TurboHandle turbo;
  const auto* data = reinterpret_cast<const unsigned char*>(jpeg.data());
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  if (!turbo.handle || tjDecompressHeader3(turbo.handle, data, static_cast<unsigned long>(jpeg.size()),
                                           &width, &height, &subsampling, &colourspace) != 0)
    return {};
  const Scale s = target > 0 ? turboJpegScaleFor(width, height, target, targetHeight) : Scale{};
  const tjscalingfactor factor{s.num, s.denom};
  Pixels out{TJSCALED(width, factor), TJSCALED(height, factor), {}};
  out.bgra.resize(size_t(out.width) * size_t(out.height) * 4);
  if (tjDecompress2(turbo.handle, data, static_cast<unsigned long>(jpeg.size()), out.bgra.data(), out.width,
                    0, out.height, TJPF_BGRA, 0) != 0)
    return {};
  return out;
}

Pixels libpngDecode(QByteArrayView png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), size_t(png.size()))) return {};
  image.format = PNG_FORMAT_BGRA;
  Pixels out{int(image.width), int(image.height), std::vector<std::uint8_t>(PNG_IMAGE_SIZE(image))};
  if (!png_image_finish_read(&image, nullptr, out.bgra.data(), 0, nullptr)) {
    png_image_free(&image);
    return {};
  }
  return out;
}

Pixels giflibFirstFrame(QByteArrayView gif) {
  GifSource source{gif};
  int error = 0;
  GifFileType* file = DGifOpen(&source, readGif, &error);
  if (!file) return {};
  Pixels out;
  if (DGifSlurp(file) == GIF_OK && file->ImageCount > 0) {
    const SavedImage& frame = file->SavedImages[0];
    const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : file->SColorMap;
    out = {file->SWidth, file->SHeight,
           std::vector<std::uint8_t>(size_t(file->SWidth) * size_t(file->SHeight) * 4)};
    const GifImageDesc& d = frame.ImageDesc;
    for (int y = 0; map && y < d.Height && d.Top + y < out.height; ++y)
      for (int x = 0; x < d.Width && d.Left + x < out.width; ++x) {
        const GifColorType c =
            map->Colors[frame.RasterBits[size_t(y) * size_t(d.Width) + size_t(x)] % map->ColorCount];
        std::uint8_t* to = &out.bgra[(size_t(d.Top + y) * size_t(out.width) + size_t(d.Left + x)) * 4];
        to[0] = c.Blue, to[1] = c.Green, to[2] = c.Red, to[3] = 255;
      }
  }
  DGifCloseFile(file, &error);
  return out;
}

Pixels referenceThumbnail(QByteArrayView bytes, const char* kind, int target) {
  const std::string_view type = kind;
  Pixels full;
  if (type == "jpeg") {
    // The header is read twice (here and in the decode) as any thumbnailer must: once to learn
    // the aspect, once to decode. It costs microseconds.
    TurboHandle turbo;
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (!turbo.handle ||
        tjDecompressHeader3(turbo.handle, reinterpret_cast<const unsigned char*>(bytes.data()),
                            static_cast<unsigned long>(bytes.size()), &width, &height, &subsampling,
                            &colourspace) != 0 ||
        width <= 0)
      return {};
    full = turboJpegDecode(bytes, target, std::max(1, int(std::int64_t(height) * target / width)));
  } else if (type == "png") {
    full = libpngDecode(bytes);
  } else if (type == "gif") {
    full = giflibFirstFrame(bytes);
  } else if (type == "heic") {
    return libheifThumbnail(bytes, target);
  } else if (type == "jxl") {
    return libjxlThumbnail(bytes, target);
  }
  if (full.width <= 0 || full.height <= 0) return {};
  return boxResize(full, target, std::max(1, int(std::int64_t(full.height) * target / full.width)));
}

}  // namespace pimrose::bench
