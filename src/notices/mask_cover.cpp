#include "notices/mask_cover.h"

#include "notices/overlay_geometry.h"
#include "ui/filter.h"
#include "ui/timer.h"
#include "ui/window.h"

namespace pimrose {
// The window table starts the timer at load; it stays stopped until something covers the window.
MaskCover::MaskCover(ui::Window& mainWindow)
    : QObject(&mainWindow),
      window_(mainWindow),
      ui_(ui::resolveControls<ui::MainWindowControls>(mainWindow)) {
  auto* timer = ui_.时钟_线程;
  timer->setInterval(0);
  connect(timer, &ui::Timer::elapsed, this, &MaskCover::place);
  ui_.滤镜_遮罩->hide();
}

void MaskCover::setCovered(bool covered) {
  covered_ = covered;
  place();
  ui_.时钟_线程->setInterval(covered ? kIntervalMs : 0);
}

void MaskCover::place() {
  auto* mask = ui_.滤镜_遮罩;
  if (!covered_) {
    mask->hide();
    return;
  }
  mask->setGeometry(maskRect(window_.size()));
  mask->show();
  mask->raise();
}

}  // namespace pimrose
