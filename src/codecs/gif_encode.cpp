#include "codecs/gif_encode.h"

#include <vector>

#include <gif_lib.h>

#include "codecs/decode_limits.h"

namespace pimrose {
namespace {

constexpr int kTransparentIndex = 255;

int appendToBuffer(GifFileType* gif, const GifByteType* bytes, int length) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
  return length;
}

struct Planes {
  std::vector<GifByteType> red, green, blue;
  std::vector<bool> clear;
  bool anyClear = false;
};

Planes splitPlanes(const QImage& argb) {
  const size_t count = size_t(argb.width()) * size_t(argb.height());
  Planes planes{std::vector<GifByteType>(count), std::vector<GifByteType>(count),
                std::vector<GifByteType>(count), std::vector<bool>(count), false};
  size_t i = 0;
  for (int y = 0; y < argb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x, ++i) {
      planes.red[i] = GifByteType(qRed(line[x]));
      planes.green[i] = GifByteType(qGreen(line[x]));
      planes.blue[i] = GifByteType(qBlue(line[x]));
      planes.clear[i] = qAlpha(line[x]) < 128;
      planes.anyClear = planes.anyClear || planes.clear[i];
    }
  }
  return planes;
}

bool writeGif(GifFileType* gif, const QImage& argb) {
  Planes planes = splitPlanes(argb);
  int colours = planes.anyClear ? 255 : 256;
  std::vector<GifColorType> palette(256);
  std::vector<GifByteType> indices(planes.red.size());
  if (GifQuantizeBuffer(unsigned(argb.width()), unsigned(argb.height()), &colours, planes.red.data(),
                        planes.green.data(), planes.blue.data(), indices.data(), palette.data()) == GIF_ERROR)
    return false;
  for (size_t i = 0; i < indices.size(); ++i)
    if (planes.clear[i]) indices[i] = kTransparentIndex;
  ColorMapObject* map = GifMakeMapObject(256, palette.data());
  if (!map) return false;
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, argb.width(), argb.height(), 8, 0, map) != GIF_ERROR;
  const GifByteType control[4] = {1, 0, 0, kTransparentIndex};  // transparency flag, no delay
  if (ok && planes.anyClear) ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) != GIF_ERROR;
  ok = ok && EGifPutImageDesc(gif, 0, 0, argb.width(), argb.height(), false, nullptr) != GIF_ERROR;
  for (int y = 0; ok && y < argb.height(); ++y)
    ok = EGifPutLine(gif, indices.data() + size_t(y) * size_t(argb.width()), argb.width()) != GIF_ERROR;
  GifFreeMapObject(map);
  return ok;
}

}  // namespace

QByteArray encodeGif(const QImage& image) {
  if (image.isNull() || image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) return {};
  QByteArray out;
  int status = 0;
  GifFileType* gif = EGifOpen(&out, appendToBuffer, &status);
  if (!gif) return {};
  const bool ok = writeGif(gif, image.convertToFormat(QImage::Format_ARGB32));
  const bool closed = EGifCloseFile(gif, &status) != GIF_ERROR;
  return ok && closed ? out : QByteArray();
}

}  // namespace pimrose
