#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

namespace pimrose::ui {

// The colours of one skin. Custom-painted controls read them; the style sheet of the standard
// widgets is filled from them.
struct SkinColours {
  QColor window;       // window background
  QColor caption;      // caption strip
  QColor panel;        // raised cards: settings pages, prompt, notices
  QColor strip;        // status strip
  QColor viewer;       // picture viewer backdrop
  QColor border;       // hairlines and frames
  QColor text;         // primary text
  QColor mutedText;    // secondary text, placeholders
  QColor accent;       // the one accent colour
  QColor accentText;   // text on the accent colour
  QColor hover;        // hovered buttons and items
  QColor input;        // edit boxes and lists
  QColor placeholder;  // thumbnail placeholder
  QColor shade;        // translucent cover
};

// Skin indexes: 0 = "黑色" (dark), 1 = "白色" (light).
inline constexpr int kSkinCount = 2;
QStringList skinNames();

// The colours of a skin; an index out of range answers the dark skin.
const SkinColours& skinColours(int index);

// The style sheet of the standard widgets (edit boxes, lists, menus, scroll bars, tabs...).
QString skinStyleSheet(const SkinColours& colours);

}  // namespace pimrose::ui
