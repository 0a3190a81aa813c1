#include "shell/taskbar_widget.h"

#include "shell/desktop_icons.h"
#include "shell/dock_panel.h"
#include "shell/taskbar_placement.h"
#include "ui/controls.h"

namespace pimrose {

TaskbarWidget::TaskbarWidget(ui::Window& window, const ui::TaskbarWidgetControls& controls,
                             std::function<void()> popUpFloatMenu, PanelFinder findPanel)
    : QObject(&window),
      window_(window),
      controls_(controls),
      holder_(controls.图片框_容器),
      popUpFloatMenu_(std::move(popUpFloatMenu)),
      findPanel_(findPanel ? std::move(findPanel) : PanelFinder(&findDockPanel)) {
  connect(holder_, &ui::PictureBox::leftPressed, this, &toggleDesktopIcons);
  connect(holder_, &ui::PictureBox::rightPressed, this, [this] {
    if (popUpFloatMenu_) popUpFloatMenu_();
  });
  connect(controls_.任务栏_刷新位置, &ui::Timer::elapsed, this, &TaskbarWidget::placeWidget);
}

void TaskbarWidget::embedWidgetInTaskbar() {
  holder_->setImageData({});
  window_.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus);
  window_.setAttribute(Qt::WA_ShowWithoutActivating);
  window_.resize(holder_->size());
  holder_->move(0, 0);
  controls_.任务栏_刷新位置->setInterval(kPlaceIntervalMs);
  placeWidget();
  window_.show();  // embedded means on the desktop, not merely made
}

// The panel is both the taskbar and its band here: the computed box is in panel coordinates.
void TaskbarWidget::placeWidget() {
  const std::optional<QRect> panel = findPanel_();
  if (!panel) return;
  const TaskbarPlacement place = pimrose::placeWidget(*panel, *panel, window_.width(), holder_->width());
  window_.setGeometry(place.widget.translated(panel->topLeft()));
}

}  // namespace pimrose
