#include "notices/notices.h"

#include <algorithm>

#include "notices/notice_icons.h"
#include "notices/notices_log.h"
#include "notices/overlay_geometry.h"
#include "notices/scheduler.h"
#include "notices/slide_path.h"
#include "settings/skin_set.h"
#include "ui/group_box.h"
#include "ui/window.h"

namespace pimrose {

struct Notices::Slide {
  QPointer<ui::GroupBox> notice;
  std::vector<int> path;
  size_t next = 0;
  std::function<void(int)> step;
  std::function<void()> finished;
};

Notices::Notices(ui::Window& mainWindow, Scheduler& scheduler)
    : QObject(&mainWindow), window_(mainWindow), scheduler_(scheduler) {}

// Notices still moving would call back into this object; taking them away cancels their steps.
Notices::~Notices() {
  for (const QPointer<ui::GroupBox>& notice : notices_) delete notice.data();
}

// Every result also goes to the log, where it stays after the notice has gone.
void Notices::ShowNotice(const QString& text, const QString& kind) {
  qCInfo(lcNotices) << "notice" << kind << text;
  ui::GroupBox* notice = makeNotice(text, kind);
  if (!notice) return;
  notice->setGeometry(noticeStartRect(window_.width(), text));
  notice->show();
  notice->raise();
  slideIn(notice);
}

std::vector<ui::GroupBox*> Notices::shownNotices() const {
  std::vector<ui::GroupBox*> shown;
  for (const QPointer<ui::GroupBox>& notice : notices_)
    if (notice) shown.push_back(notice.data());
  return shown;
}

ui::GroupBox* Notices::makeNotice(const QString& text, const QString& kind) {
  auto* notice = qobject_cast<ui::GroupBox*>(window_.copyControl(QStringLiteral("分组框_弹出提示")));
  if (!notice) return nullptr;
  std::erase_if(notices_, [](const QPointer<ui::GroupBox>& p) { return p.isNull(); });
  notices_.emplace_back(notice);
  notice->setText(text);
  if (const SkinSet* set = skinSet(window_.skinIndex())) notice->setTextColour(set->activeText);
  if (kind == noticeKindDone()) notice->setIconImage(messageIconPng(MessageIcon::Done));
  if (kind == noticeKindFailed()) notice->setIconImage(messageIconPng(MessageIcon::Failed));
  return notice;
}

// The notice takes the highest free slot: with notices coming one after another that is one below
// the last, and a slot given up by a notice already leaving is used again rather than covering one
// that still rests.
void Notices::slideIn(ui::GroupBox* notice) {
  const int slot = freeNoticeSlot(takenSlots_);
  takenSlots_.push_back(slot);
  run(
      notice, slidePath(kNoticeStartTop, noticeRestTop(slot), kSlideInSteps),
      [notice](int top) { notice->setTop(top); },
      [this, notice, slot] {
        scheduler_.runAfter(kRestMs, notice, [this, notice, slot] { slideOut(notice, slot); });
      });
}

void Notices::slideOut(ui::GroupBox* notice, int slot) {
  const int from = notice->top();
  run(
      notice, slidePath(from, kNoticeStartTop, kSlideOutSteps),
      [notice, from](int top) {
        notice->setTop(top);
        notice->setTransparency(fadeAlpha(top, from, kNoticeStartTop));
      },
      [notice] {
        qCDebug(lcNotices) << "notice gone";
        notice->deleteLater();
      });
  releaseSlot(slot);
}

void Notices::run(ui::GroupBox* notice, std::vector<int> path, std::function<void(int)> step,
                  std::function<void()> finished) {
  auto slide =
      std::make_shared<Slide>(Slide{notice, std::move(path), 0, std::move(step), std::move(finished)});
  scheduleStep(slide);
}

void Notices::scheduleStep(const std::shared_ptr<Slide>& slide) {
  if (!slide->notice) return;
  scheduler_.runAfter(kStepMs, slide->notice.data(), [this, slide] {
    slide->step(slide->path[slide->next++]);
    if (slide->next < slide->path.size())
      scheduleStep(slide);
    else
      slide->finished();
  });
}

void Notices::releaseSlot(int slot) {
  const auto at = std::find(takenSlots_.begin(), takenSlots_.end(), slot);
  if (at != takenSlots_.end()) takenSlots_.erase(at);
}

}  // namespace pimrose
