#include "shell/taskbar_placement.h"

namespace pimrose {

TaskbarPlacement placeWidget(const QRect& trayBox, const QRect& bandBox, int widgetWidth, int holderWidth) {
  constexpr int kTopGap = 3;
  const int x = bandBox.width() - widgetWidth;
  return {QRect(0, 0, x, trayBox.height()), QRect(x, kTopGap, holderWidth, trayBox.height())};
}

}  // namespace pimrose
