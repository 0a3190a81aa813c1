#pragma once

#include <QString>

namespace pimrose {

// The status text while a long listing runs: that it is searching, and how many pictures so far.
QString listingProgressText(qsizetype found);

}  // namespace pimrose
