#pragma once

#include <QList>

// Smart memory release: after item i of a list of `count` items receives its icon, the items
// kReleaseDistance before and after it give theirs up, so only about 2 x 2000 icons stay held.
// The rule is asymmetric on purpose: the item ahead is released only when i > 2000, so near the
// top of a long list nothing ahead is released.

namespace pimrose {

inline constexpr int kReleaseDistance = 2000;

// Indices whose icons to release (behind first), all inside [0, count).
QList<int> smartReleaseIndices(int index, int count);

}  // namespace pimrose
