#pragma once

#include <QString>

namespace pimrose {

// Tips longer than this many bytes of code page 936 are cut and end in "...".
inline constexpr int kTipMaxBytes = 500;

// The text a pointer tip shows: the whole text when it fits, else its first 500 bytes (never half a
// character) followed by "...".
QString tipText(const QString& text);

}  // namespace pimrose
