#pragma once

#include <QByteArray>
#include <QString>

namespace pimrose {

// A font as an 84-byte description, little-endian:
//   bytes 0-63   face name, UTF-16 with its terminating zero unit, zero-filled after it
//   bytes 64-67  size
//   bytes 68-83  the four style values, in the caller's order
// The face name holds at most 31 code units before its terminator; a longer name is cut there, one
// unit earlier when the cut would split a surrogate pair.
// The window engine (src/ui) takes QFonts, so nothing in the program calls this; kept as part of the
// system's helpers.
inline constexpr int kFontBlockSize = 84;
inline constexpr int kFontFaceUnits = 31;

QByteArray MakeFontBlock(const QString& faceName, qint32 size, qint32 style1 = 0, qint32 style2 = 0,
                         qint32 style3 = 0, qint32 style4 = 0);
// The same from a narrow (code page 936) face name.
QByteArray MakeFontBlock(const QByteArray& faceName, qint32 size, qint32 style1 = 0, qint32 style2 = 0,
                         qint32 style3 = 0, qint32 style4 = 0);

}  // namespace pimrose
