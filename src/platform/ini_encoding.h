#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace pimrose {

// How the bytes of a settings file are text. Files Pimrose creates are UTF-8; a file that holds
// code page 936 text is written back in that encoding, so whatever wrote it that way can still read
// it; a file saved as UTF-16 by an editor stays UTF-16.
enum class IniEncoding {
  Utf8,         // also a plain ASCII file
  Utf8Bom,      // UTF-8 that starts with a byte-order mark, which is kept
  ChineseAnsi,  // code page 936, read and written as its superset GB 18030
  Utf16Le,      // UTF-16 with its byte-order mark FF FE, which is kept
  Utf16Be,      // UTF-16 with its byte-order mark FE FF
};

// The bytes that start a file of that encoding (empty for UTF-8 without a mark and code page 936).
QByteArrayView byteOrderMark(IniEncoding encoding);
bool isUtf16(IniEncoding encoding);

// A byte-order mark decides. Otherwise the lines vote: each line that is not plain ASCII counts for
// UTF-8 when it is valid UTF-8 and for code page 936 when it is not, and code page 936 wins only with
// more lines. One stray Latin-1 comment or a few damaged lines in a UTF-8 file thus leave it UTF-8,
// while a code page 936 file, whose Chinese lines are almost never valid UTF-8, stays what it is.
IniEncoding detectIniEncoding(QByteArrayView bytes);

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(QByteArrayView bytes);
bool isAscii(QByteArrayView bytes);

// Text of one line's bytes (without the byte-order mark) and back. Code page 936 goes through
// GB 18030, which reads every code page 936 byte sequence the same and can write any character, so
// a value with a character outside code page 936 is never turned into '?'.
QString decodeIniText(QByteArrayView bytes, IniEncoding encoding);
QByteArray encodeIniText(QStringView text, IniEncoding encoding);

}  // namespace pimrose
