#include "commands/chosen_picture.h"

namespace pimrose {

QString chosenPicture(const QStringList& pictureList, const QStringList& searchList, bool searchListVisible,
                      int fileMenuItem) {
  const QStringList& list = searchListVisible ? searchList : pictureList;
  if (fileMenuItem < 1 || fileMenuItem > list.size()) return {};
  return list.at(fileMenuItem - 1);
}

}  // namespace pimrose
