#pragma once

#include <QRect>

#include <optional>

namespace pimrose {

// The first mapped window of type dock (_NET_WM_WINDOW_TYPE_DOCK): a desktop panel, in screen
// coordinates. Nothing when there is none or the desktop is not an X11 one.
std::optional<QRect> findDockPanel();

}  // namespace pimrose
