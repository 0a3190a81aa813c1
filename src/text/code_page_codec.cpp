#include "text/code_page_codec.h"

#include <algorithm>
#include <cerrno>

#include <QtGlobal>

#include <iconv.h>

namespace pimrose {
namespace {

// Wide texts are UTF-16LE byte arrays and QString holds host-order UTF-16: the same bytes here.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN);

// Our iconv names for the code pages in use; any other number is tried as "CP<n>".
QByteArray iconvName(int codePage) {
  switch (codePage) {
    case kAnsiCodePage:
    case 1:  // CP_OEMCP
    case 3:  // CP_THREAD_ACP
    case kGbkCodePage:
      return QByteArrayLiteral("CP936");
    case 54936:
      return QByteArrayLiteral("GB18030");
    default:
      return "CP" + QByteArray::number(codePage);
  }
}

// One conversion descriptor for one call: iconv descriptors carry shift state and are not
// thread-safe, and opening one is cheap once glibc has loaded the module.
class Iconv {
 public:
  Iconv(const QByteArray& to, const QByteArray& from) : cd_(iconv_open(to.constData(), from.constData())) {}
  ~Iconv() {
    if (valid()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts what it can; stops at the first bad sequence. Answers errno of the stop, 0 when done.
  int run(const char*& in, size_t& inLeft, QByteArray& out) {
    while (inLeft > 0) {
      const qsizetype used = out.size();
      out.resize(used + qsizetype(inLeft) * 4 + 16);
      char* outPtr = out.data() + used;
      size_t outLeft = size_t(out.size() - used);
      const size_t result = iconv(cd_, const_cast<char**>(&in), &inLeft, &outPtr, &outLeft);
      const int error = result == size_t(-1) ? errno : 0;
      out.resize(outPtr - out.constData());
      if (error != 0 && error != E2BIG) return error;
    }
    return 0;
  }

  void flush(QByteArray& out) {
    char buffer[16];
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, outPtr - buffer);
  }

 private:
  iconv_t cd_;
};

void report(bool* ok, bool value) {
  if (ok) *ok = value;
}

bool isHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Bytes of UTF-16 input to skip past one character that the target cannot hold.
size_t unmappableCharBytes(const char* in, size_t inLeft) {
  if (inLeft < 4) return std::min<size_t>(inLeft, 2);
  const auto unitAt = [in](int i) { return char16_t(uchar(in[i]) | (uchar(in[i + 1]) << 8)); };
  return isHighSurrogate(unitAt(0)) && isLowSurrogate(unitAt(2)) ? 4 : 2;
}

}  // namespace

QString decodeCodePage(QByteArrayView bytes, int codePage, bool* ok) {
  report(ok, true);
  if (codePage == kUtf8CodePage) return QString::fromUtf8(bytes);
  Iconv iconv("UTF-16LE", iconvName(codePage));
  if (!iconv.valid()) {
    report(ok, false);
    return {};
  }
  const char* in = bytes.data();
  size_t inLeft = size_t(bytes.size());
  QByteArray out;
  while (iconv.run(in, inLeft, out) != 0) {
    out.append("\xFD\xFF", 2);  // U+FFFD, little-endian
    ++in;
    --inLeft;
  }
  iconv.flush(out);
  return QString(reinterpret_cast<const QChar*>(out.constData()), out.size() / 2);
}

QByteArray encodeCodePage(QStringView text, int codePage, bool* ok) {
  report(ok, true);
  if (codePage == kUtf8CodePage) return text.toUtf8();
  Iconv iconv(iconvName(codePage), "UTF-16LE");
  if (!iconv.valid()) {
    report(ok, false);
    return {};
  }
  const char* in = reinterpret_cast<const char*>(text.utf16());
  size_t inLeft = size_t(text.size()) * 2;
  QByteArray out;
  while (iconv.run(in, inLeft, out) != 0) {
    out.append('?');
    const size_t skip = unmappableCharBytes(in, inLeft);
    in += skip;
    inLeft -= skip;
  }
  iconv.flush(out);
  return out;
}

}  // namespace pimrose
