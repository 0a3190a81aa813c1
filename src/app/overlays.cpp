#include "app/overlays.h"

#include "app/mask_cover.h"
#include "app/notices.h"
#include "app/pointer_tips.h"
#include "app/prompt_panel.h"
#include "app/scheduler.h"

namespace pimrose {

Overlays makeOverlays(ui::Window& mainWindow, ui::Window& tipWindow, AppState& state) {
  Overlays overlays;
  overlays.notices = new Notices(mainWindow, realScheduler());
  overlays.prompt = new PromptPanel(mainWindow, state, realScheduler());
  overlays.tips = new PointerTips(tipWindow, mainWindow, state);
  overlays.mask = new MaskCover(mainWindow);
  return overlays;
}

}  // namespace pimrose
