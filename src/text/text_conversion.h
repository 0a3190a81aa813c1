#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace pimrose {

// The program's two kinds of text at its edges:
// - a narrow text: bytes in code page 936, read up to the first zero byte;
// - a wide text: UTF-16LE code units in a byte array; the conversions into wide text end it with one
//   zero code unit that counts in the length, so the wide empty text is the two bytes 00 00.
// Every routine reads its input only up to the first zero byte (narrow) or zero code unit (wide), or up
// to the end of the array when there is none, and never reports failure: bad input gives the empty
// result named at each routine.
// Inside, the program keeps QStrings: only the log window's copy (toWide) meets these forms; the other
// routines have no caller in the program and are kept as part of the system's helpers.

// Narrow text (code page 936) to wide text with its terminator; the empty text gives 00 00.
QByteArray AnsiToWide(const QByteArray& text);

// Wide text to bytes of `codePage` without terminator; a wide text that starts with a zero code unit,
// or an unknown code page, gives an empty array.
QByteArray WideToCodePage(const QByteArray& wide, int codePage);
QByteArray WideToUtf8(const QByteArray& wide);

// Bytes of `codePage` to wide text with its terminator; an input that is empty or starts with a zero
// byte, or an unknown code page, gives an empty array (no terminator).
QByteArray CodePageToWide(const QByteArray& bytes, int codePage);
QByteArray Utf8ToWide(const QByteArray& bytes);

// Joins wide texts in order into one wide text with exactly one terminator. The code units are joined
// as they are, so even a path holding a lone surrogate comes through unchanged.
QByteArray WideConcat(const QList<QByteArray>& parts);
template <typename... Rest>
QByteArray WideConcat(const QByteArray& first, const QByteArray& second, const Rest&... rest) {
  static_assert(sizeof...(Rest) <= 8, "WideConcat joins two to ten wide texts");
  return WideConcat(QList<QByteArray>{first, second, QByteArray(rest)...});
}

// Wide text to narrow text (code page 936). A base letter followed by combining marks is first
// composed into one character where one exists. A wide text shorter than 3 bytes gives the empty text.
QByteArray WideToGbkText(const QByteArray& wide);
// Wide text to narrow text in the ANSI code page (936 here), without composing.
QByteArray WideToAnsiText(const QByteArray& wide);

// Bridges between the program's QString and the two edge forms.
QByteArray toWide(const QString& text);    // with terminator
QString fromWide(const QByteArray& wide);  // up to the first zero code unit
QByteArray toGbk(const QString& text);     // unmappable characters become '?'
QString fromGbk(const QByteArray& text);   // up to the first zero byte

}  // namespace pimrose
