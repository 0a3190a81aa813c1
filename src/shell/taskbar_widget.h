#pragma once

#include <QObject>
#include <QRect>

#include <functional>
#include <optional>

#include "ui/taskbar_widget_controls.h"

namespace pimrose::ui {
class Window;
}  // namespace pimrose::ui

namespace pimrose {

// The taskbar widget: two status lines kept at the right end of the desktop's panel. A freedesktop
// panel takes no foreign child window, so the widget is a small frameless strip kept above the panel
// (a window of type dock) and re-placed every second; the panel's own list of running programs
// belongs to the panel and is left alone. Without a panel the strip stays where it is.
//
// Exists only while the program state's taskbarWidgetEnabled is set, which nothing in the program
// does. A left press on the holder switches the desktop icons, a right press opens the floating menu.
class TaskbarWidget : public QObject {
  Q_OBJECT

 public:
  using PanelFinder = std::function<std::optional<QRect>()>;

  // `findPanel` answers the panel's screen box; by default the first mapped dock window.
  TaskbarWidget(ui::Window& window, const ui::TaskbarWidgetControls& controls,
                std::function<void()> popUpFloatMenu, PanelFinder findPanel = {});

  // The widget's creation: sizes it to its holder, places and shows it (without taking the focus) and
  // starts re-placing it every second.
  void embedWidgetInTaskbar();
  void placeWidget();

  static constexpr int kPlaceIntervalMs = 1000;

 private:
  ui::Window& window_;
  ui::TaskbarWidgetControls controls_;
  ui::PictureBox* holder_;
  std::function<void()> popUpFloatMenu_;
  PanelFinder findPanel_;
};

}  // namespace pimrose
