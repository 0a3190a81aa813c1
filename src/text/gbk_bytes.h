#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace pimrose {

// Byte counts of texts as code page 936 measures them. Texts that the program measures or cuts by
// byte count (a notice's width, a tip's length limit, the opening lines) are counted here, and a cut
// never falls inside a character.

// Length in bytes of one character of code page 936 text starting at byte `at`: 2 for a lead byte
// followed by a valid trail byte, 1 otherwise (ASCII, a stray byte, a lead byte at the very end).
int gbkCharLength(QByteArrayView text, qsizetype at);

// The longest start of `text` that is at most `maxBytes` bytes and ends on a character boundary.
QByteArray gbkBytePrefix(QByteArrayView text, qsizetype maxBytes);

// Bytes `text` takes in code page 936; a character the code page cannot hold counts as its one '?'.
qsizetype gbkByteLength(QStringView text);

// The longest start of `text`, in whole characters (a surrogate pair is one), that takes at most
// `maxBytes` bytes in code page 936.
QString gbkPrefix(QStringView text, qsizetype maxBytes);

}  // namespace pimrose
