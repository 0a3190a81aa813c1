#pragma once

#include <QFont>

#include "ui/window_definition.h"

namespace pimrose::ui {

// Maps the faces the window tables name ("黑体", "微软雅黑", "宋体") to the installed CJK font.
// Safe to call more than once.
void installFontSubstitutions();

// The font a control starts with: the table's face and size, else the engine's default.
QFont controlFont(const ControlProps& props);

// Width and height of a text in a font; with maxWidth > 0 the text wraps at that width.
QSize measureText(const QString& text, const QFont& font, int maxWidth = 0);

}  // namespace pimrose::ui
