#include "text/file_names.h"

namespace pimrose {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at `at` (1..4), or 0 when the bytes there are not valid UTF-8
// (stray continuation, overlong form, encoded surrogate, beyond U+10FFFF, cut short).
int validSequenceLength(QByteArrayView bytes, qsizetype at, char32_t& codePoint) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  int length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, minimum = 0x80, codePoint = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, minimum = 0x800, codePoint = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, minimum = 0x10000, codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  for (int k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(bytes[at + k]);
    if (!isContinuation(next)) return 0;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (codePoint < minimum || surrogate || codePoint > 0x10FFFF) return 0;
  return length;
}

void appendUtf8(QByteArray& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out.append(char(codePoint));
  } else if (codePoint < 0x800) {
    out.append(char(0xC0 | (codePoint >> 6)));
    out.append(char(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.append(char(0xE0 | (codePoint >> 12)));
    out.append(char(0x80 | ((codePoint >> 6) & 0x3F)));
    out.append(char(0x80 | (codePoint & 0x3F)));
  } else {
    out.append(char(0xF0 | (codePoint >> 18)));
    out.append(char(0x80 | ((codePoint >> 12) & 0x3F)));
    out.append(char(0x80 | ((codePoint >> 6) & 0x3F)));
    out.append(char(0x80 | (codePoint & 0x3F)));
  }
}

bool isAscii(QByteArrayView bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

QString decodeFileName(QByteArrayView bytes) {
  if (isAscii(bytes)) return QString::fromLatin1(bytes);
  QString out;
  appendFileName(out, bytes);
  return out;
}

void appendFileName(QString& out, QByteArrayView bytes) {
  out.reserve(out.size() + bytes.size());
  if (isAscii(bytes)) {
    out.append(QLatin1StringView(bytes.data(), bytes.size()));
    return;
  }
  for (qsizetype at = 0; at < bytes.size();) {
    char32_t codePoint = 0;
    const int length = validSequenceLength(bytes, at, codePoint);
    if (length == 0) {
      out.append(QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[at]))));
      ++at;
      continue;
    }
    if (QChar::requiresSurrogates(codePoint)) {
      out.append(QChar(QChar::highSurrogate(codePoint)));
      out.append(QChar(QChar::lowSurrogate(codePoint)));
    } else {
      out.append(QChar(char16_t(codePoint)));
    }
    at += length;
  }
}

QByteArray encodeFileName(const QString& path) {
  QByteArray out;
  out.reserve(path.size() * 3);
  for (qsizetype at = 0; at < path.size(); ++at) {
    const char16_t unit = path[at].unicode();
    const bool pair = QChar::isHighSurrogate(unit) && at + 1 < path.size() && path[at + 1].isLowSurrogate();
    if (pair) {
      appendUtf8(out, QChar::surrogateToUcs4(unit, path[at + 1].unicode()));
      ++at;
    } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
      out.append(char(unit - kEscapeBase));
    } else {
      // Any other lone surrogate cannot come from a file name; keep it in the generalised
      // three-byte form rather than losing it.
      appendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace pimrose
