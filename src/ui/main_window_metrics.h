#pragma once

#include <QSize>

namespace pimrose::ui {

// The main window's designed size, which is also the smallest the user may size it to.
inline constexpr QSize kMainWindowSize{1200, 700};

// The icon-size slider's position when nothing was saved.
inline constexpr int kIconSliderDefault = 24;

}  // namespace pimrose::ui
