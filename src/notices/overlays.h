#pragma once

namespace pimrose {

struct AppState;
class MaskCover;
class Notices;
class PointerTips;
class PromptPanel;

namespace ui {
class Window;
}

// How the main window tells and asks: sliding notices, the prompt panel, pointer tips and the mask.
// Each belongs to its window (a Qt child), so these are plain references to them.
struct Overlays {
  Notices* notices = nullptr;
  PromptPanel* prompt = nullptr;
  PointerTips* tips = nullptr;
  MaskCover* mask = nullptr;
};

// Builds them on the real clock once both windows are loaded.
Overlays makeOverlays(ui::Window& mainWindow, ui::Window& tipWindow, AppState& state);

}  // namespace pimrose
