#include "ui/skin.h"

namespace pimrose::ui {
namespace {

SkinColours darkSkin() {
  return {
      .window = QColor(0x1e, 0x1f, 0x22),
      .caption = QColor(0x17, 0x18, 0x1b),
      .panel = QColor(0x2a, 0x2c, 0x31),
      .strip = QColor(0x17, 0x18, 0x1b),
      .viewer = QColor(0x0f, 0x10, 0x12),
      .border = QColor(0x3a, 0x3d, 0x44),
      .text = QColor(0xe8, 0xe9, 0xec),
      .mutedText = QColor(0x95, 0x98, 0xa0),
      .accent = QColor(0x4c, 0x8d, 0xff),
      .accentText = QColor(0xff, 0xff, 0xff),
      .hover = QColor(0x34, 0x37, 0x3d),
      .input = QColor(0x25, 0x27, 0x2b),
      .placeholder = QColor(0x2b, 0x2d, 0x32),
      .shade = QColor(0, 0, 0, 150),
  };
}

SkinColours lightSkin() {
  return {
      .window = QColor(0xf4, 0xf5, 0xf7),
      .caption = QColor(0xff, 0xff, 0xff),
      .panel = QColor(0xff, 0xff, 0xff),
      .strip = QColor(0xff, 0xff, 0xff),
      .viewer = QColor(0xe6, 0xe8, 0xec),
      .border = QColor(0xd8, 0xdb, 0xe0),
      .text = QColor(0x1f, 0x23, 0x28),
      .mutedText = QColor(0x6b, 0x72, 0x80),
      .accent = QColor(0x2f, 0x6f, 0xed),
      .accentText = QColor(0xff, 0xff, 0xff),
      .hover = QColor(0xe9, 0xec, 0xf1),
      .input = QColor(0xff, 0xff, 0xff),
      .placeholder = QColor(0xe7, 0xe9, 0xee),
      .shade = QColor(0x20, 0x24, 0x2c, 90),
  };
}

// The accent laid thinly over a panel: a highlight that the skin's own text colour reads on.
QColor softAccent(const SkinColours& colours) {
  QColor soft = colours.accent;
  soft.setAlpha(90);
  return soft;
}

QString hex(const QColor& c) {
  return c.name(QColor::HexArgb);
}

const char* kStyleTemplate = R"(
QLineEdit { background: @input; color: @text; border: 1px solid @border; border-radius: 6px;
  padding: 0 26px 0 8px; selection-background-color: @accent; selection-color: @accentText; }
QLineEdit:focus { border-color: @accent; }
QLineEdit[plain="true"] { background: transparent; border: none; padding: 0 4px; color: @muted; }
QComboBox { background: @input; color: @text; border: 1px solid @border; border-radius: 6px; padding: 0 8px; }
QComboBox:hover { border-color: @accent; }
QComboBox::drop-down { border: none; width: 22px; }
QComboBox::down-arrow { image: none; }
QComboBox QAbstractItemView { background: @panel; color: @text; border: 1px solid @border;
  selection-background-color: @accent; selection-color: @accentText; outline: 0; }
QPushButton { background: @hover; color: @text; border: 1px solid @border; border-radius: 6px; padding: 0 10px; }
QPushButton:hover { border-color: @accent; }
QPushButton:pressed { background: @accent; color: @accentText; }
QPushButton[primary="true"] { background: @accent; color: @accentText; border-color: @accent; }
QSlider::groove:horizontal { height: 4px; background: @border; border-radius: 2px; }
QSlider::sub-page:horizontal { background: @accent; border-radius: 2px; }
QSlider::handle:horizontal { background: @text; width: 12px; height: 12px; margin: -4px 0; border-radius: 6px; }
QTabBar::tab { background: transparent; color: @muted; padding: 6px 16px; border: none;
  border-bottom: 2px solid transparent; }
QTabBar::tab:selected { color: @text; border-bottom-color: @accent; }
QTabBar::tab:hover { color: @text; }
QTableWidget { background: @input; color: @text; border: 1px solid @border; gridline-color: @border;
  selection-background-color: @accent; selection-color: @accentText; outline: 0; }
QHeaderView::section { background: @panel; color: @muted; border: none; border-right: 1px solid @border;
  border-bottom: 1px solid @border; padding: 4px 6px; }
QScrollBar:vertical { background: transparent; width: 10px; margin: 2px; }
QScrollBar::handle:vertical { background: @border; border-radius: 3px; min-height: 32px; }
QScrollBar::handle:vertical:hover { background: @muted; }
QScrollBar:horizontal { background: transparent; height: 10px; margin: 2px; }
QScrollBar::handle:horizontal { background: @border; border-radius: 3px; min-width: 32px; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
QListView { background: transparent; color: @text; border: none; outline: 0; }
QMenu { background: @panel; border: 1px solid @border; padding: 4px; }
QMenu::item { padding: 4px 18px; border-radius: 4px; }
QMenu::item:selected { background: @accentSoft; }
QToolTip { background: @panel; color: @text; border: 1px solid @border; padding: 4px; }
)";

}  // namespace

QStringList skinNames() {
  return {QStringLiteral("黑色"), QStringLiteral("白色")};
}

const SkinColours& skinColours(int index) {
  static const SkinColours dark = darkSkin();
  static const SkinColours light = lightSkin();
  return index == 1 ? light : dark;
}

QString skinStyleSheet(const SkinColours& colours) {
  QString sheet = QString::fromUtf8(kStyleTemplate);
  sheet.replace(QStringLiteral("@window"), hex(colours.window))
      .replace(QStringLiteral("@panel"), hex(colours.panel))
      .replace(QStringLiteral("@border"), hex(colours.border))
      .replace(QStringLiteral("@accentText"), hex(colours.accentText))
      .replace(QStringLiteral("@accentSoft"), hex(softAccent(colours)))
      .replace(QStringLiteral("@accent"), hex(colours.accent))
      .replace(QStringLiteral("@text"), hex(colours.text))
      .replace(QStringLiteral("@muted"), hex(colours.mutedText))
      .replace(QStringLiteral("@hover"), hex(colours.hover))
      .replace(QStringLiteral("@input"), hex(colours.input));
  return sheet;
}

}  // namespace pimrose::ui
