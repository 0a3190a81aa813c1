#pragma once

#include <map>

#include <QList>
#include <QtGlobal>

// The memory the icons of one list may hold, whatever the memory-release option says.
//
// 96 MiB per list, 192 MiB for both lists together. Icons are kept at three bytes a pixel
// (stored_icon.h): at the default icon size a thumbnail is at most 150 x 300 pixels (135 KB) and
// usually 150 x 112 (50 KB), so the budget holds 700 to 2000 icons; at the slider's usual 270 pixels
// about 600 icons of 270 x 202, fifty screens of them, so scrolling back and forth stays fast. At the
// largest icon sizes it still holds far more icons than any screen shows. Without a budget 50,000
// pictures with memory release off held about 11 GB.
//
// When a new icon takes the total over the budget, icons are given up farthest from what the
// list shows first; an icon on screen is never given up for another (the screen bounds those).
// The list asks again for a released icon when it comes back into view.

namespace pimrose {

inline constexpr qint64 kIconBudgetBytes = 96LL * 1024 * 1024;

class IconBudget {
 public:
  explicit IconBudget(qint64 bytes = kIconBudgetBytes) : budget_(bytes) {}

  // Item `index` now holds an icon of `bytes`; answers the items whose icons to give up so the
  // total fits, farthest from [first, last] first. Never `index` itself nor an item in the range.
  // A range with last < first means "unknown": distance is then measured from `index`.
  QList<int> hold(int index, qint64 bytes, int first, int last);
  // Item `index` no longer holds an icon (released for another reason).
  void release(int index);
  // The list was rebuilt: no icon is held any more.
  void clear();

  qint64 heldBytes() const { return total_; }
  int heldCount() const { return int(held_.size()); }
  void setBudget(qint64 bytes) { budget_ = bytes; }

 private:
  qint64 budget_;
  qint64 total_ = 0;
  std::map<int, qint64> held_;  // by index, so the farthest item is at one of the two ends
};

}  // namespace pimrose
