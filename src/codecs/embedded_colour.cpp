#include "codecs/embedded_colour.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include <zlib.h>

#include "codecs/picture_format.h"

namespace pimrose {
namespace {

// An ICC profile larger than this is no profile a picture needs (JPEG's own limit is 255 pieces
// of 64 KiB).
constexpr qsizetype kMaxProfileBytes = 16 * 1024 * 1024;
constexpr qsizetype kIccChunkHeader = 14;  // "ICC_PROFILE\0", then the piece's number and the count

// The iCCP chunk's compressed profile, inflated within the profile limit.
QByteArray inflated(QByteArrayView compressed) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return {};
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  stream.avail_in = uInt(compressed.size());
  QByteArray out;
  int status = Z_OK;
  while (status == Z_OK && out.size() < kMaxProfileBytes) {
    const qsizetype before = out.size();
    out.resize(std::min(kMaxProfileBytes, std::max<qsizetype>(4096, before * 2)));
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + before);
    stream.avail_out = uInt(out.size() - before);
    status = inflate(&stream, Z_NO_FLUSH);
    out.resize(out.size() - qsizetype(stream.avail_out));
  }
  inflateEnd(&stream);
  return status == Z_STREAM_END ? out : QByteArray();
}

ColourProfile iccpProfile(QByteArrayView chunk) {
  const qsizetype nameEnd = chunk.indexOf('\0');
  if (nameEnd < 1 || nameEnd > 79 || nameEnd + 2 > chunk.size() || chunk[nameEnd + 1] != 0) return {};
  return ColourProfile::fromIcc(inflated(chunk.sliced(nameEnd + 2)));
}

double ratio(QByteArrayView chunk, qsizetype at) {
  return double(readBigEndian32(chunk.data() + at)) / 100000.0;
}

// A gAMA close to 1/2.2 is what sRGB files carry without saying so; it is taken as the sRGB curve.
std::optional<ToneCurve> gammaCurve(QByteArrayView gama) {
  if (gama.size() != 4 || readBigEndian32(gama.data()) == 0) return std::nullopt;
  const double exponent = 1.0 / ratio(gama, 0);
  if (std::abs(exponent - 2.2) < 0.05) return ToneCurve{};
  return ToneCurve{ToneCurve::Power, exponent};
}

std::optional<Chromaticities> chromaticities(QByteArrayView chrm) {
  if (chrm.size() != 32) return std::nullopt;
  const Chromaticities c{ratio(chrm, 0),  ratio(chrm, 4),  ratio(chrm, 8),  ratio(chrm, 12),
                         ratio(chrm, 16), ratio(chrm, 20), ratio(chrm, 24), ratio(chrm, 28)};
  if (c.whiteY <= 0 || c.redY <= 0 || c.greenY <= 0 || c.blueY <= 0) return std::nullopt;
  return c;
}

}  // namespace

ColourProfile jpegColourProfile(const QList<QByteArrayView>& iccChunks) {
  if (iccChunks.isEmpty()) return {};
  const int count = iccChunks.first().size() > kIccChunkHeader ? quint8(iccChunks.first()[13]) : 0;
  std::map<int, QByteArrayView> pieces;
  for (const QByteArrayView chunk : iccChunks) {
    if (chunk.size() <= kIccChunkHeader || quint8(chunk[13]) != count) return {};
    const int number = quint8(chunk[12]);
    if (number < 1 || number > count || !pieces.emplace(number, chunk.sliced(kIccChunkHeader)).second)
      return {};
  }
  if (int(pieces.size()) != count) return {};
  QByteArray icc;
  for (const auto& [number, piece] : pieces) icc += piece;
  return ColourProfile::fromIcc(icc);
}

ColourProfile pngColourProfile(QByteArrayView data) {
  if (!startsLikePng(data)) return {};
  QByteArrayView gama, chrm;
  for (qsizetype at = 8; at + 12 <= data.size();) {
    const qsizetype length = readBigEndian32(data.data() + at);
    const QByteArrayView type = data.sliced(at + 4, 4);
    if (type == "IDAT" || type == "IEND" || length > data.size() - at - 12) break;
    const QByteArrayView chunk = data.sliced(at + 8, length);
    if (type == "iCCP") return iccpProfile(chunk);
    if (type == "sRGB") return {};
    if (type == "gAMA") gama = chunk;
    if (type == "cHRM") chrm = chunk;
    at += 12 + length;
  }
  const std::optional<ToneCurve> curve = gammaCurve(gama);
  const std::optional<Chromaticities> primaries = chromaticities(chrm);
  if (!curve || !primaries) return {};
  return ColourProfile::fromPrimaries(*primaries, *curve);
}

}  // namespace pimrose
