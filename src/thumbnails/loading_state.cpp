#include "thumbnails/loading_state.h"

namespace pimrose {

void ListSlots::rebuild(const QStringList& newPaths, quint64 newGeneration) {
  paths = newPaths;
  generation = newGeneration;
  held.assign(size_t(paths.size()), 1);
  budget.clear();
  visibleFirst = 0;
  visibleLast = -1;
}

ListSlots* LoaderState::slotsFor(ListId list) {
  return list == ListId::Files ? &pictureSlots : &searchSlots;
}

const ListSlots* LoaderState::slotsFor(ListId list) const {
  return const_cast<LoaderState*>(this)->slotsFor(list);
}

}  // namespace pimrose
