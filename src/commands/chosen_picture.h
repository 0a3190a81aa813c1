#pragma once

#include <QString>
#include <QStringList>

namespace pimrose {

// The picture the picture menu acts on: entry `fileMenuItem` (1-based, set when the menu opened) of
// the search list while that list is visible when the command runs, else of the full list. The
// search list may have been hidden (or either list rebuilt) between opening the menu and choosing
// an item, so the rule is applied at the moment of the command. A position outside the list gives
// an empty path: the command then has nothing to act on.
QString chosenPicture(const QStringList& pictureList, const QStringList& searchList, bool searchListVisible,
                      int fileMenuItem);

}  // namespace pimrose
