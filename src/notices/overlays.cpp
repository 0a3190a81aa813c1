#include "notices/overlays.h"

#include "notices/mask_cover.h"
#include "notices/notices.h"
#include "notices/pointer_tips.h"
#include "notices/prompt_panel.h"
#include "notices/scheduler.h"

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
