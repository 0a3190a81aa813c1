#include "text/gbk_bytes.h"

#include "text/code_page_codec.h"

namespace pimrose {
namespace {

bool isLeadByte(uchar byte) {
  return byte >= 0x81 && byte <= 0xFE;
}
bool isTrailByte(uchar byte) {
  return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// Length of the character (one code unit, or a surrogate pair) starting at `at`.
qsizetype unitsOfCharAt(QStringView text, qsizetype at) {
  if (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) return 2;
  return 1;
}

qsizetype gbkBytesOfChar(QStringView character) {
  if (character.size() == 1 && character[0].unicode() < 0x80) return 1;
  return encodeCodePage(character, kGbkCodePage).size();
}

}  // namespace

int gbkCharLength(QByteArrayView text, qsizetype at) {
  if (at + 1 < text.size() && isLeadByte(uchar(text[at])) && isTrailByte(uchar(text[at + 1]))) return 2;
  return 1;
}

QByteArray gbkBytePrefix(QByteArrayView text, qsizetype maxBytes) {
  qsizetype end = 0;
  while (end < text.size()) {
    const qsizetype next = end + gbkCharLength(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return text.first(end).toByteArray();
}

qsizetype gbkByteLength(QStringView text) {
  return encodeCodePage(text, kGbkCodePage).size();
}

QString gbkPrefix(QStringView text, qsizetype maxBytes) {
  qsizetype units = 0;
  qsizetype bytes = 0;
  while (units < text.size()) {
    const qsizetype length = unitsOfCharAt(text, units);
    bytes += gbkBytesOfChar(text.mid(units, length));
    if (bytes > maxBytes) break;
    units += length;
  }
  return text.first(units).toString();
}

}  // namespace pimrose
