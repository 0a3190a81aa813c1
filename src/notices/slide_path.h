#pragma once

#include <vector>

namespace pimrose {

// The positions of a slide from `from` to `to` in `steps` steps (at least one), easing out: quick at
// first, gentle at the end. The last position is exactly `to`; `from` itself is not repeated.
std::vector<int> slidePath(int from, int to, int steps);

// Opacity (255 opaque, 0 invisible) of a notice that leaves: full where it started leaving (`from`),
// none at its final position (`to`), in proportion between.
int fadeAlpha(int position, int from, int to);

}  // namespace pimrose
