#include "settings/skin_set.h"

namespace pimrose {
namespace {

QColor argb(QRgb value) {
  return QColor::fromRgba(value);
}

}  // namespace

const SkinSet* skinSet(int skin) {
  static const SkinSet dark{0, argb(0xFFFFFFFF), argb(0xFF858585), argb(0xFFFFFFFF), QStringLiteral("黑色")};
  static const SkinSet light{1, argb(0xFE000000), argb(0xFF858585), argb(0xFF2C2C2C), QStringLiteral("白色")};
  switch (skin) {
    case 0:
      return &dark;
    case 1:
      return &light;
    default:
      return nullptr;
  }
}

}  // namespace pimrose
