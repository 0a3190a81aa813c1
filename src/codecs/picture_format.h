#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace pimrose {

// The decoders Pimrose has of its own (HEIF covers HEIC and AVIF, through libheif; JPEG XL goes
// through libjxl); everything else goes through Qt's image plugins.
enum class PictureFormat { Jpeg, Png, Gif, Heif, Jxl, Other };

// The formats Pimrose decodes through libraries of its own that a plain Qt lacks, named as Qt's
// image plugins name theirs ("heif" and "avif" when libheif here has their codec, "jxl").
QList<QByteArray> ownDecoderFormats();

// Recognises a picture by its first bytes, never by its file name: a PNG named ".jpg" is a PNG.
// A task sniffs its picture once (picture_probe.h); each format's own reader checks its signature.
PictureFormat sniffFormat(QByteArrayView data);

inline bool startsLikePng(QByteArrayView data) {
  return data.startsWith("\x89PNG\r\n\x1A\n");
}
inline bool startsLikeGif(QByteArrayView data) {
  return data.startsWith("GIF87a") || data.startsWith("GIF89a");
}

// Big-endian and little-endian reads inside a buffer; the caller checks the bounds.
inline quint32 readBigEndian16(const char* p) {
  return (quint32(quint8(p[0])) << 8) | quint8(p[1]);
}
inline quint32 readBigEndian32(const char* p) {
  return (readBigEndian16(p) << 16) | readBigEndian16(p + 2);
}

}  // namespace pimrose
