#include "codecs/picture_size.h"

#include "codecs/picture_probe.h"

namespace pimrose {

QSize pictureSize(const QString& path, QString* error) {
  const std::optional<PictureProbe> probe = PictureProbe::open(path, error);
  return probe ? probe->upright() : QSize(0, 0);
}

}  // namespace pimrose
