#pragma once

#include <QColor>
#include <QString>

namespace pimrose {

// What a skin choice fixes in the program's own code: skin 0 is "黑色", skin 1 "白色" (the item indexes
// of `下拉框_皮肤`). The engine's skin (ui::applySkin) draws the rest.
struct SkinSet {
  int skin = 0;
  QColor activeText;   // text of edit boxes, check boxes, lists, labels, the first tab, the window skin
  QColor inactiveTab;  // text of every other tab
  QColor menuText;     // menu item text
  QString name;        // the current text of `下拉框_皮肤`
};

// The set of skin 0 or 1; nullptr for any other number.
const SkinSet* skinSet(int skin);

// The text colour of the about page's labels, whatever the skin.
inline constexpr QRgb kAboutTextColour = 0xFF606266;

}  // namespace pimrose
