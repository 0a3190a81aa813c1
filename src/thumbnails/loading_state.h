#pragma once

#include <vector>

#include <QStringList>

#include "thumbnails/icon_budget.h"
#include "thumbnails/icon_size.h"
#include "thumbnails/list_id.h"

// What the UI thread knows about the two icon lists while thumbnails load.
//
// Each list has its paths, the generation they belong to and
// one held flag per item: 1 while the item's icon is present or on its way (every slot starts
// so), 0 once it was released (smart release, or its waiting request was dropped), which makes the
// loader answer Released when the list finds the icon still missing, so that it asks again. Only the UI
// thread touches this state; loaders get copies of what they need in their request.

namespace pimrose {

struct ListSlots {
  QStringList paths;
  quint64 generation = 0;
  std::vector<unsigned char> held;
  IconBudget budget;     // the icons the list holds now, within their memory budget
  int visibleFirst = 0;  // what the list shows; last < first while it has not said
  int visibleLast = -1;

  void rebuild(const QStringList& newPaths, quint64 newGeneration);
  bool contains(int index) const { return index >= 0 && index < int(held.size()); }
};

struct LoaderState {
  ListSlots pictureSlots;
  ListSlots searchSlots;
  int iconSize = kDefaultIconSize;
  bool fastLoading = false;
  bool smartRelease = false;
  bool thumbnailCache = false;
  double pixelRatio = 1.0;
  int keptIconSize = 0;  // the icon size whose icons are kept in the icon cache; 0: none

  ListSlots* slotsFor(ListId list);
  const ListSlots* slotsFor(ListId list) const;
};

}  // namespace pimrose
