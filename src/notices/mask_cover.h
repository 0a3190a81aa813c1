#pragma once

#include <QObject>

#include "ui/main_window_controls.h"

namespace pimrose {

// The mask `滤镜_遮罩`: a shade over the main window between the caption and the status strip, for
// times when the window's contents must not be used. The timer `时钟_线程` keeps it over the window
// while it covers (100 ms, following size changes); it is stopped whenever the mask is down, so an
// idle program is never woken for it. Nothing in the program raises the mask today: it stays hidden
// and the timer never runs.
class MaskCover : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 100;

  explicit MaskCover(ui::Window& mainWindow);

  void setCovered(bool covered);
  bool covered() const { return covered_; }

 private:
  void place();

  ui::Window& window_;
  ui::MainWindowControls ui_;
  bool covered_ = false;
};

}  // namespace pimrose
