#pragma once

class QWidget;

namespace pimrose {

// Brings the main window back: a minimised window is restored to the state it had (normal or
// maximised), then the window is shown, raised and activated.
void ShowMainWindow(QWidget& mainWindow);

// Hides a window that is shown and not minimised; shows one that is hidden or minimised.
void ToggleMainWindow(QWidget& mainWindow);

}  // namespace pimrose
