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

// Two pixels more height than the margins need: the label is two pixels shorter than its box.
QSize tipBoxSize(QSize text) {
  return text + QSize(2 * kTipPadding, 2 * kTipPadding + 2);
}

QRect tipWindowRect(QPoint pointer, QSize box) {
  return {pointer.x(), pointer.y() + 30, box.width() + 5, box.height()};
}

QRect tipLabelRect(QSize box) {
  return QRect(1, 1, box.width() + 3, box.height() - 2)
      .adjusted(kTipPadding, kTipPadding, -kTipPadding, -kTipPadding);
}

}  // namespace pimrose
