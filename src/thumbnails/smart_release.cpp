#include "thumbnails/smart_release.h"

namespace pimrose {

QList<int> smartReleaseIndices(int index, int count) {
  QList<int> released;
  if (index >= kReleaseDistance && index - kReleaseDistance < count)
    released.append(index - kReleaseDistance);
  if (qint64(index) + kReleaseDistance < count && index > kReleaseDistance)
    released.append(index + kReleaseDistance);
  return released;
}

}  // namespace pimrose
