#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace pimrose {

// How the bytes of a settings file are text. Files Pimrose creates are UTF-8; a file that is not
// valid UTF-8 holds code page 936 text and is written back in that encoding, so whatever wrote it
// that way can still read it.
enum class IniEncoding {
  Utf8,        // also a plain ASCII file
  Utf8Bom,     // UTF-8 that starts with a byte-order mark, which is kept
  ChineseAnsi  // not valid UTF-8: code page 936, read and written as its superset GB 18030
};

// Valid UTF-8 (with or without a byte-order mark) is UTF-8; anything else is code page 936.
IniEncoding detectIniEncoding(QByteArrayView bytes);

// Text of one line's bytes (without the byte-order mark) and back. Code page 936 goes through
// GB 18030, which reads every code page 936 byte sequence the same and can write any character, so
// a value with a character outside code page 936 is never turned into '?'.
QString decodeIniText(QByteArrayView bytes, IniEncoding encoding);
QByteArray encodeIniText(QStringView text, IniEncoding encoding);

}  // namespace pimrose
