#pragma once

#include <QString>

namespace pimrose {

// A byte count as a short text: one decimal at most, then the unit letter with no space (‹1.5K›,
// ‹2M›, ‹500B›). Units step at 1024: B above 0 bytes, K above 1024, M above 2^20, G, T, P, E; a count of
// 0 or less is ‹0› with no unit. `wholeNumber` rounds to a whole number of the unit and leaves the
// unit letter off.
QString ByteCountText(qint64 size, bool wholeNumber = false);

}  // namespace pimrose
