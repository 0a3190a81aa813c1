#include "app/mask_cover.h"

#include "app/overlay_geometry.h"
#include "ui/filter.h"
#include "ui/timer.h"
#include "ui/window.h"

namespace pimrose {
namespace {

const QString kMask = QStringLiteral("滤镜_遮罩");
const QString kTimer = QStringLiteral("时钟_线程");

}  // namespace

// The window table starts the timer at load; it stays stopped until something covers the window.
MaskCover::MaskCover(ui::Window& mainWindow) : QObject(&mainWindow), window_(mainWindow) {
  auto* timer = window_.control<ui::Timer>(kTimer);
  timer->setInterval(0);
  connect(timer, &ui::Timer::elapsed, this, &MaskCover::place);
  window_.control<ui::Filter>(kMask)->hide();
}

void MaskCover::setCovered(bool covered) {
  covered_ = covered;
  place();
  window_.control<ui::Timer>(kTimer)->setInterval(covered ? kIntervalMs : 0);
}

void MaskCover::place() {
  auto* mask = window_.control<ui::Filter>(kMask);
  if (!covered_) {
    mask->hide();
    return;
  }
  mask->setGeometry(maskRect(window_.size()));
  mask->show();
  mask->raise();
}

}  // namespace pimrose
