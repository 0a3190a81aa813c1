#include "platform/ini_encoding.h"

#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>

namespace pimrose {
namespace {

constexpr char kLegacyCharset[] = "GB18030";

// One conversion through iconv. An invalid or incomplete sequence gives up that byte and goes on, so a
// damaged line still reads as far as it is sound.
QByteArray convert(QByteArrayView bytes, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  QByteArray out(bytes.size() * 4 + 16, Qt::Uninitialized);
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = static_cast<size_t>(bytes.size());
  char* dst = out.data();
  size_t outLeft = static_cast<size_t>(out.size());
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) break;  // cannot happen with four bytes out for each byte in
    ++in, --inLeft;             // EILSEQ or EINVAL: skip the bad byte
  }
  iconv_close(cd);
  out.truncate(out.size() - static_cast<qsizetype>(outLeft));
  return out;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(QByteArrayView bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const unsigned char lead = *p;
    int trail = 0;
    char32_t code = 0, minimum = 0;
    if (lead < 0x80) {
      ++p;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      trail = 1, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      trail = 2, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      trail = 3, code = lead & 0x07, minimum = 0x10000;
    } else {
      return false;
    }
    if (end - p <= trail) return false;
    for (int i = 1; i <= trail; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    p += trail + 1;
  }
  return true;
}

// QString::fromUtf8 drops a byte-order mark at the start as a header (and after one such mark, the
// next). Inside a file it is the start of a line, and a key or value that begins with U+FEFF, once or
// more, must read back as it was written.
QString textOfUtf8(QByteArrayView bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  return decoder.decode(bytes);
}

}  // namespace

IniEncoding detectIniEncoding(QByteArrayView bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return IniEncoding::Utf8Bom;
  return isValidUtf8(bytes) ? IniEncoding::Utf8 : IniEncoding::ChineseAnsi;
}

QString decodeIniText(QByteArrayView bytes, IniEncoding encoding) {
  if (encoding != IniEncoding::ChineseAnsi) return textOfUtf8(bytes);
  return textOfUtf8(convert(bytes, "UTF-8", kLegacyCharset));
}

QByteArray encodeIniText(QStringView text, IniEncoding encoding) {
  QByteArray utf8 = text.toUtf8();
  if (encoding != IniEncoding::ChineseAnsi) return utf8;
  return convert(utf8, kLegacyCharset, "UTF-8");
}

}  // namespace pimrose
