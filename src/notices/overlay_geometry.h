#pragma once

#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringView>

namespace pimrose {

// Where the main window's overlays go: sliding notices, the prompt panel, the mask and the pointer
// tip. Plain arithmetic on sizes, so it is checked without any window.

// A notice starts at this top, just under the caption's upper edge, and slides down to its slot.
inline constexpr int kNoticeStartTop = 10;
inline constexpr int kNoticeHeight = 60;
inline constexpr int kNoticeSpacing = 60;
inline constexpr int kNoticeFirstTop = 50;
inline constexpr int kNoticeNarrow = 230;
inline constexpr int kNoticeWide = 350;
// Texts of fewer code page 936 bytes than this fit the narrow notice.
inline constexpr int kNoticeNarrowBytes = 20;

// 230 for a text under 20 bytes of code page 936, else 350.
int noticeWidth(QStringView text);
// The notice as it appears: centred on the narrow width (a wide one grows to the right), at the start
// top.
QRect noticeStartRect(int windowWidth, QStringView text);
// The top a notice in `slot` (0 the highest) comes to rest at.
int noticeRestTop(int slot);
// The lowest slot that no notice still sliding in or resting holds.
int freeNoticeSlot(const std::vector<int>& takenSlots);

// The prompt's holder covers the window but for a 1-pixel frame.
QRect promptHolderRect(QSize window);
// The panel sits in the middle of its holder, 60 pixels right of centre; its size is its own.
QRect promptPanelRect(QSize holder, QSize panel);

// The mask covers the window between the caption and the status strip.
QRect maskRect(QSize window);

// The tip window 30 pixels below the pointer, 5 pixels wider than its measured text and as high;
// the text label inside it at (1, 1), 3 pixels wider than the text and 2 pixels less high.
QRect tipWindowRect(QPoint pointer, QSize text);
QRect tipLabelRect(QSize text);

}  // namespace pimrose
