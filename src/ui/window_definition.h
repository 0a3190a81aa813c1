#pragma once

#include <functional>
#include <vector>

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "ui/control_class.h"

namespace pimrose::ui {

// The height of the caption strip a skinned window draws at its top.
inline constexpr int kCaptionHeight = 32;

// How a panel-like control fills its background; the colours come from the window's skin.
enum class Surface {
  None,    // transparent: the parent shows through
  Window,  // the window's own background
  Panel,   // a raised card (settings pages, prompt panel, notices)
  Strip,   // a bar (status strip)
  Viewer,  // the picture viewer's backdrop
  Shade,   // a translucent cover (prompt holder, mask)
  Line,    // a 1-pixel separator
};

// The picture an image button draws; the skin colours it.
enum class Glyph { None, Settings, Search, Close, Grip };

// Class-specific initial properties of a control. Only what a class reads matters for it.
struct ControlProps {
  QString text = {};       // caption, title text or initial content
  QString font = {};       // face as the table names it (mapped to an installed font)
  int fontPixels = 0;      // 0: the engine's default size
  QString skin = {};       // skin name the table gives (artwork is the engine's own)
  int interval = 0;        // Timer: milliseconds, 0 = idle
  QStringList items = {};  // ComboboxEx items, SelectthefolderEx tab titles
  int page = 0;            // page of the parent tab control that holds this control
  bool hidden = false;     // hidden at load
  bool checked = false;    // ChoiceboxEx
  int minimum = 0;         // SliderbarEx range and position
  int maximum = 100;
  int value = 0;
  QString image = {};    // initial picture (a resource path)
  QSize imageSize = {};  // draw the picture at this size, top centre (else fit the box)
  Surface surface = Surface::None;
  Glyph glyph = Glyph::None;
  bool readOnly = false;        // EditboxEx
  QString placeholder = {};     // EditboxEx hint while empty
  bool tabBarHidden = false;    // SelectthefolderEx: the program switches pages itself
  bool windowFrame = false;     // WindowEx that skins the whole window (`窗口EX1`)
  bool wordWrap = false;        // LabelEx
  bool centred = false;         // LabelEx, EditboxEx: centred text
  bool muted = false;           // LabelEx: secondary text colour
  bool raiseWhenShown = false;  // overlays defined early in the table come to the top when shown
};

// One row of a window table. The rectangle is relative to the parent's client area; an empty
// parent is the window itself.
struct ControlDefinition {
  QString name;
  ControlClass cls;
  QRect rect;
  QString parent;
  ControlProps props = {};
};

// A layout rule applied whenever the window changes size, in table order (parents before
// children). It answers the control's rectangle from its parent's client size and its current one.
struct Anchor {
  QString name;
  std::function<QRect(QSize parentClient, QRect current)> place;
};

// A window: its own rectangle and caption, the controls in creation (and stacking) order, and
// the layout rules that keep it usable at any size.
struct WindowDefinition {
  QString name = {};
  QRect rect = {};
  QString caption = {};
  QSize minimumSize = {};
  std::vector<ControlDefinition> controls = {};
  std::vector<Anchor> anchors = {};
};

const WindowDefinition& mainWindowDefinition();
const WindowDefinition& textPopupWindowDefinition();
const WindowDefinition& logWindowDefinition();
const WindowDefinition& floatWindowDefinition();
const WindowDefinition& taskbarWidgetDefinition();

// Every window of the program, for code (and tests) that walk them all.
std::vector<const WindowDefinition*> allWindowDefinitions();

}  // namespace pimrose::ui
