#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace pimrose {

// Code page numbers as the program's texts name them.
inline constexpr int kAnsiCodePage = 0;  // the system's ANSI code page, which is 936 here
inline constexpr int kGbkCodePage = 936;
inline constexpr int kUtf8CodePage = 65001;

// Decodes bytes of a code page into text. Invalid byte sequences become U+FFFD, one per bad byte, so a
// damaged text still decodes as far as it is sound. An unknown code page gives std::nullopt-like failure:
// `ok` (when given) is set false and the result is empty.
QString decodeCodePage(QByteArrayView bytes, int codePage, bool* ok = nullptr);

// Encodes text into a code page. A character the code page cannot hold becomes one '?', as the system's
// default character; a lone surrogate counts as such a character. An unknown code page fails as above.
QByteArray encodeCodePage(QStringView text, int codePage, bool* ok = nullptr);

}  // namespace pimrose
