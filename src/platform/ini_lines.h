#pragma once

#include <QByteArrayView>

namespace pimrose {

// Where one line of a settings file lies, in byte offsets: its text is [start, contentEnd), its line
// end [contentEnd, end) (empty for a last line without one).
struct IniLine {
  qsizetype start = 0;
  qsizetype contentEnd = 0;
  qsizetype end = 0;

  qsizetype size() const { return contentEnd - start; }
};

// Walks the lines of a settings file's bytes from `from` on. A line ends at LF, at CR LF or at a CR
// on its own (files from old Mac editors), so every file splits into the lines a text editor shows.
// Text of one byte per unit (UTF-8, code page 936) is walked with memchr; UTF-16 in its two byte orders
// unit by unit. Nothing is copied.
class IniLines {
 public:
  enum class Units { Bytes, Utf16Le, Utf16Be };

  IniLines(QByteArrayView bytes, qsizetype from, Units units = Units::Bytes);

  // The next line; false at the end of the bytes.
  bool next(IniLine& line);

 private:
  qsizetype nextBreakInBytes();
  qsizetype nextBreakInUtf16() const;
  char16_t unitAt(qsizetype offset) const;

  QByteArrayView bytes_;
  qsizetype at_;
  Units units_;
  qsizetype width_;
  // The next CR and LF from at_ on, found once and reused until passed, so a file with few CRs is
  // not searched again for each line.
  qsizetype nextCr_ = -2;
  qsizetype nextLf_ = -2;
};

}  // namespace pimrose
