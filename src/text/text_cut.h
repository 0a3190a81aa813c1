#pragma once

#include <QByteArray>
#include <QString>

namespace pimrose {

// Cutting a text at an occurrence of a separator. No caller in the program; kept as part of the
// system's helpers.
//
// `start` is 1-based. 0 counts as 1; a positive start searches forward from that position. A negative
// start searches backward: -1 from the very end, -k (k >= 2) in the text without its last k positions.
// An empty separator never occurs. A match is found only where a character begins, so a cut never
// splits a character (a double-byte character of code page 936, or a surrogate pair).
//
// TextLeftOf answers the part before the occurrence, TextRightOf the part after it; both answer the
// empty text when there is none.

// Narrow texts (code page 936): positions count bytes; ignoreCase folds ASCII letters only.
QByteArray TextLeftOf(const QByteArray& text, const QByteArray& separator, int start = 1,
                      bool ignoreCase = false);
QByteArray TextRightOf(const QByteArray& text, const QByteArray& separator, int start = 1,
                       bool ignoreCase = false);

// The program's own texts: positions count UTF-16 code units; ignoreCase uses Unicode case folding.
QString TextLeftOf(const QString& text, const QString& separator, int start = 1, bool ignoreCase = false);
QString TextRightOf(const QString& text, const QString& separator, int start = 1, bool ignoreCase = false);

}  // namespace pimrose
