#pragma once

#include <QString>

namespace pimrose::ui {

// The engine's control classes, named as the window tables name them.
enum class ControlClass {
  WindowEx,           // skinned panel; the window's own `窗口EX1` skins the whole window
  FilterEx,           // overlay holder (prompt holder, mask)
  MinutesboxEx,       // group box with an icon and a line of text (notice template)
  SelectthefolderEx,  // tab control whose pages hold child controls
  PictureBoxEx,       // picture and/or panel
  LabelEx,            // text
  ButtonEx,           // push button
  SuperbuttonEx,      // image button with a state
  ChoiceboxEx,        // check box
  SliderbarEx,        // horizontal slider
  EditboxEx,          // one-line edit box
  ComboboxEx,         // drop-down list
  IcoListboxEx,       // thumbnail list
  SuperListboxEx,     // report list (rows and columns)
  Label,              // invisible message receiver (cross-thread hand-over)
  Timer,              // interval timer
};

QString controlClassName(ControlClass cls);

}  // namespace pimrose::ui
