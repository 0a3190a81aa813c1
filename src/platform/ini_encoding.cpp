#include "platform/ini_encoding.h"

#include <QStringDecoder>
#include <QtEndian>

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/ini_lines.h"

namespace pimrose {
namespace {

constexpr char kLegacyCharset[] = "GB18030";
constexpr QByteArrayView kUtf8Bom = "\xEF\xBB\xBF";
constexpr QByteArrayView kUtf16LeBom = "\xFF\xFE";
constexpr QByteArrayView kUtf16BeBom = "\xFE\xFF";

// One conversion descriptor per direction and thread: opening one costs more than converting a line,
// and a large file converts many lines.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // An invalid or incomplete sequence gives up that byte and goes on, so a damaged line still reads
  // as far as it is sound.
  QByteArray convert(QByteArrayView bytes) {
    if (!valid()) return {};
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    QByteArray out(bytes.size() * 4 + 16, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* dst = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
      if (iconv(cd_, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) break;  // cannot happen with four bytes out for each byte in
      ++in, --inLeft;             // EILSEQ or EINVAL: skip the bad byte
    }
    out.truncate(out.size() - static_cast<qsizetype>(outLeft));
    return out;
  }

 private:
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  iconv_t cd_;
};

QByteArray legacyToUtf8(QByteArrayView bytes) {
  thread_local Converter converter("UTF-8", kLegacyCharset);
  return converter.convert(bytes);
}

QByteArray utf8ToLegacy(QByteArrayView bytes) {
  thread_local Converter converter(kLegacyCharset, "UTF-8");
  return converter.convert(bytes);
}

// QString::fromUtf8 drops a byte-order mark at the start as a header (and after one such mark, the
// next). Inside a file it is the start of a line, and a key or value that begins with U+FEFF, once or
// more, must read back as it was written.
QString textOfUtf8(QByteArrayView bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  return decoder.decode(bytes);
}

QString textOfUtf16(QByteArrayView bytes, bool bigEndian) {
  QString text(bytes.size() / 2, Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const uchar* unit = reinterpret_cast<const uchar*>(bytes.data()) + 2 * i;
    text[i] = QChar(bigEndian ? qFromBigEndian<quint16>(unit) : qFromLittleEndian<quint16>(unit));
  }
  return text;
}

QByteArray utf16Bytes(QStringView text, bool bigEndian) {
  QByteArray bytes(text.size() * 2, Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i) {
    uchar* unit = reinterpret_cast<uchar*>(bytes.data()) + 2 * i;
    if (bigEndian)
      qToBigEndian<quint16>(text[i].unicode(), unit);
    else
      qToLittleEndian<quint16>(text[i].unicode(), unit);
  }
  return bytes;
}

}  // namespace

QByteArrayView byteOrderMark(IniEncoding encoding) {
  switch (encoding) {
    case IniEncoding::Utf8Bom:
      return kUtf8Bom;
    case IniEncoding::Utf16Le:
      return kUtf16LeBom;
    case IniEncoding::Utf16Be:
      return kUtf16BeBom;
    case IniEncoding::Utf8:
    case IniEncoding::ChineseAnsi:
      break;
  }
  return {};
}

bool isUtf16(IniEncoding encoding) {
  return encoding == IniEncoding::Utf16Le || encoding == IniEncoding::Utf16Be;
}

IniEncoding detectIniEncoding(QByteArrayView bytes) {
  for (IniEncoding marked : {IniEncoding::Utf8Bom, IniEncoding::Utf16Le, IniEncoding::Utf16Be})
    if (bytes.startsWith(byteOrderMark(marked))) return marked;
  qsizetype utf8 = 0, legacy = 0;
  IniLines lines(bytes, 0);
  for (IniLine line; lines.next(line);) {
    const QByteArrayView text = bytes.sliced(line.start, line.size());
    if (isAscii(text)) continue;
    ++(isValidUtf8(text) ? utf8 : legacy);
  }
  return legacy > utf8 ? IniEncoding::ChineseAnsi : IniEncoding::Utf8;
}

bool isAscii(QByteArrayView bytes) {
  for (const char byte : bytes)
    if (static_cast<unsigned char>(byte) >= 0x80) return false;
  return true;
}

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

QString decodeIniText(QByteArrayView bytes, IniEncoding encoding) {
  switch (encoding) {
    case IniEncoding::Utf8:
    case IniEncoding::Utf8Bom:
      return textOfUtf8(bytes);
    case IniEncoding::ChineseAnsi:
      return isAscii(bytes) ? QString::fromLatin1(bytes) : textOfUtf8(legacyToUtf8(bytes));
    case IniEncoding::Utf16Le:
    case IniEncoding::Utf16Be:
      return textOfUtf16(bytes, encoding == IniEncoding::Utf16Be);
  }
  return {};
}

QByteArray encodeIniText(QStringView text, IniEncoding encoding) {
  if (isUtf16(encoding)) return utf16Bytes(text, encoding == IniEncoding::Utf16Be);
  QByteArray utf8 = text.toUtf8();
  if (encoding != IniEncoding::ChineseAnsi || isAscii(utf8)) return utf8;
  return utf8ToLegacy(utf8);
}

}  // namespace pimrose
