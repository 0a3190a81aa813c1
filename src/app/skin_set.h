#pragma once

#include <QColor>
#include <QString>

namespace pimrose {

// What a skin choice fixes in the program's own code: skin 1 is "黑色", skin 2 "白色" (the items of
// `下拉框_皮肤`, one more than the item index). The engine's skin (ui::applySkin, 0-based) draws the rest.
struct SkinSet {
  int skin = 1;
  QColor activeText;   // text of edit boxes, check boxes, lists, labels, the first tab, the window skin
  QColor inactiveTab;  // text of every other tab
  QColor menuText;     // menu item text
  QString name;        // the current text of `下拉框_皮肤`
};

// The set of skin 1 or 2; nullptr for any other number.
const SkinSet* skinSet(int skin);

// The text colour of the about page's labels, whatever the skin.
inline constexpr QRgb kAboutTextColour = 0xFF606266;

}  // namespace pimrose
