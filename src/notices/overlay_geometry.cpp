#include "notices/overlay_geometry.h"

#include <algorithm>

#include "text/gbk_bytes.h"

namespace pimrose {

int noticeWidth(QStringView text) {
  return gbkByteLength(text) < kNoticeNarrowBytes ? kNoticeNarrow : kNoticeWide;
}

QRect noticeStartRect(int windowWidth, QStringView text) {
  return {windowWidth / 2 - kNoticeNarrow / 2, kNoticeStartTop, noticeWidth(text), kNoticeHeight};
}

int noticeRestTop(int slot) {
  return std::max(0, slot) * kNoticeSpacing + kNoticeFirstTop;
}

int freeNoticeSlot(const std::vector<int>& takenSlots) {
  int slot = 0;
  while (std::find(takenSlots.begin(), takenSlots.end(), slot) != takenSlots.end()) ++slot;
  return slot;
}

QRect promptHolderRect(QSize window) {
  return {1, 1, window.width() - 2, window.height() - 2};
}

QRect promptPanelRect(QSize holder, QSize panel) {
  return {QPoint((holder.width() - panel.width()) / 2 + 60, (holder.height() - panel.height()) / 2), panel};
}

QRect maskRect(QSize window) {
  return {1, 32, window.width() - 2, window.height() - 63};
}

QRect tipWindowRect(QPoint pointer, QSize text) {
  return {pointer.x(), pointer.y() + 30, text.width() + 5, text.height()};
}

QRect tipLabelRect(QSize text) {
  return {1, 1, text.width() + 3, text.height() - 2};
}

}  // namespace pimrose
