#include "platform/ini_lines.h"

#include <cstring>

namespace pimrose {
namespace {

// The offset of `byte` at or after `from`, or -1.
qsizetype find(QByteArrayView bytes, qsizetype from, char byte) {
  if (from >= bytes.size()) return -1;
  const void* hit = std::memchr(bytes.data() + from, byte, static_cast<size_t>(bytes.size() - from));
  return hit ? static_cast<const char*>(hit) - bytes.data() : -1;
}

}  // namespace

IniLines::IniLines(QByteArrayView bytes, qsizetype from, Units units)
    : bytes_(bytes), at_(from), units_(units), width_(units == Units::Bytes ? 1 : 2) {}

bool IniLines::next(IniLine& line) {
  if (at_ >= bytes_.size()) return false;
  const qsizetype lineBreak = units_ == Units::Bytes ? nextBreakInBytes() : nextBreakInUtf16();
  line.start = at_;
  if (lineBreak < 0) {
    line.contentEnd = line.end = bytes_.size();
  } else {
    line.contentEnd = lineBreak;
    const bool crlf = unitAt(lineBreak) == u'\r' && lineBreak + 2 * width_ <= bytes_.size() &&
                      unitAt(lineBreak + width_) == u'\n';
    line.end = lineBreak + (crlf ? 2 : 1) * width_;
  }
  at_ = line.end;
  return true;
}

qsizetype IniLines::nextBreakInBytes() {
  if (nextCr_ != -1 && nextCr_ < at_) nextCr_ = find(bytes_, at_, '\r');
  if (nextLf_ != -1 && nextLf_ < at_) nextLf_ = find(bytes_, at_, '\n');
  if (nextCr_ < 0) return nextLf_;
  if (nextLf_ < 0) return nextCr_;
  return std::min(nextCr_, nextLf_);
}

qsizetype IniLines::nextBreakInUtf16() const {
  for (qsizetype at = at_; at + 2 <= bytes_.size(); at += 2) {
    const char16_t unit = unitAt(at);
    if (unit == u'\r' || unit == u'\n') return at;
  }
  return -1;
}

char16_t IniLines::unitAt(qsizetype offset) const {
  const auto byte = [this](qsizetype at) { return static_cast<unsigned char>(bytes_[at]); };
  switch (units_) {
    case Units::Bytes:
      return byte(offset);
    case Units::Utf16Le:
      return static_cast<char16_t>(byte(offset) | byte(offset + 1) << 8);
    case Units::Utf16Be:
      return static_cast<char16_t>(byte(offset) << 8 | byte(offset + 1));
  }
  return 0;
}

}  // namespace pimrose
