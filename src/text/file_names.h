#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names as the program holds them.
//
// Linux file names are bytes; the program works on QString paths. Valid UTF-8 decodes as usual.
// A byte that is not part of valid UTF-8 becomes the lone surrogate U+DC00 + byte (0xDC80..0xDCFF),
// which valid UTF-8 can never produce, so encodeFileName(decodeFileName(b)) == b for every b.
// QFile::decodeName is not used for this: Qt 6 turns such bytes into U+FFFD and the file can no
// longer be opened.
//
// Seam: whoever opens a file from a path that came from enumeration or a drop must turn it back
// into bytes with encodeFileName (a plain QFile on such a path only works for valid UTF-8 names).

namespace pimrose {

QString decodeFileName(QByteArrayView bytes);
// decodeFileName(bytes) appended to `out`, without a string of its own.
void appendFileName(QString& out, QByteArrayView bytes);
QByteArray encodeFileName(const QString& path);

}  // namespace pimrose
