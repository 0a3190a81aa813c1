#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The JPEG marker kinds the header walkers need, shared by the in-memory and the file walker.
namespace pimrose::jpeg {

constexpr quint8 kApp1 = 0xE1;
constexpr quint8 kApp2 = 0xE2;
constexpr quint8 kStartOfScan = 0xDA;
constexpr quint8 kEndOfImage = 0xD9;
constexpr quint8 kFill = 0xFF;

// Start-of-frame markers: everything in C0..CF but DHT (C4), JPG (C8) and DAC (CC).
inline bool isFrameMarker(quint8 marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}
inline bool isProgressive(quint8 marker) {
  return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}
// TEM, the restart markers and SOI stand alone, without a length.
inline bool hasNoLength(quint8 marker) {
  return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

// The start marker, which libjpeg insists on; anything may follow it.
inline bool startsLikeJpeg(QByteArrayView data) {
  return data.startsWith("\xFF\xD8");
}

// Where the next marker stands from `at`, passing over what libjpeg passes over on its way to one
// (with a warning, and then decodes the picture): stray bytes, fill bytes and a stuffed zero (FF 00).
// -1 when `data` ends first; the marker's second byte is then at the answer + 1.
inline qsizetype nextMarker(QByteArrayView data, qsizetype at) {
  while (at + 1 < data.size()) {
    if (quint8(data[at]) != kFill || quint8(data[at + 1]) == kFill) {
      ++at;
    } else if (data[at + 1] == 0) {
      at += 2;
    } else {
      return at;
    }
  }
  return -1;
}

}  // namespace pimrose::jpeg
