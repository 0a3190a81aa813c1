#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QPointer>

#include "commands/notice_sink.h"

namespace pimrose {

class Scheduler;

namespace ui {
class GroupBox;
class Window;
}  // namespace ui

// Sliding notices in the main window. Each notice is a copy of the template group box `分组框_弹出提示`
// that slides down from the top to its slot in steps 25 ms apart, rests 1.5 s, then slides back up
// while it fades, and is destroyed. Notices up at the same time stack 60 pixels apart.
//
// Nothing waits: every step is a timed callback, so the window handles input and further notices
// while a notice moves or rests.
class Notices : public QObject, public NoticeSink {
  Q_OBJECT

 public:
  static constexpr int kStepMs = 25;
  static constexpr int kRestMs = 1500;
  static constexpr int kSlideInSteps = 10;
  static constexpr int kSlideOutSteps = 8;

  Notices(ui::Window& mainWindow, Scheduler& scheduler);
  ~Notices() override;

  void ShowNotice(const QString& text, const QString& kind) override;

  // Notices that have started sliding in and not yet started sliding out.
  int noticeCount() const { return static_cast<int>(takenSlots_.size()); }
  // The notices on screen, oldest first (destroyed ones are gone).
  std::vector<ui::GroupBox*> shownNotices() const;

 private:
  struct Slide;

  ui::GroupBox* makeNotice(const QString& text, const QString& kind);
  void slideIn(ui::GroupBox* notice);
  void slideOut(ui::GroupBox* notice, int slot);
  void run(ui::GroupBox* notice, std::vector<int> path, std::function<void(int)> step,
           std::function<void()> finished);
  void scheduleStep(const std::shared_ptr<Slide>& slide);
  void releaseSlot(int slot);

  ui::Window& window_;
  Scheduler& scheduler_;
  std::vector<int> takenSlots_;
  std::vector<QPointer<ui::GroupBox>> notices_;
};

}  // namespace pimrose
