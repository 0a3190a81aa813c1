#pragma once

#include <QString>
#include <QStringList>

// The writing systems the file names of a listing use, as one character of each beyond ASCII.
//
// The first time a list paints a name in a writing system its font lacks, the text engine looks for
// a fallback font among those installed and loads it: some 1 to 20 ms for each writing system, all
// in that one paint (a screen of names in twenty rare scripts held the window for 70 ms). With these
// samples the list can lay the writing systems out one per turn of the event loop before it shows
// the names. Characters of no particular script (symbols, emoji, private use) are grouped by their
// block of 256 code points, since different fonts carry them. At most kMaxWritingSystemSamples.

namespace pimrose {

inline constexpr qsizetype kMaxWritingSystemSamples = 64;

// Looks at the file name of each path (what follows its last '/').
QString writingSystemSamples(const QStringList& paths);

}  // namespace pimrose
