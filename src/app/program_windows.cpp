#include "app/program_windows.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QPixmap>

#include "app/first_paint_probe.h"
#include "app/log_window_controller.h"
#include "app/main_window_handlers.h"
#include "shell/float_window.h"
#include "shell/taskbar_widget.h"
#include "shell/window_commands.h"
#include "system/load_sampler.h"
#include "time_texts/uptime_tip.h"
#include "ui/check_box.h"
#include "ui/image_bytes.h"
#include "ui/main_window_metrics.h"
#include "ui/picture_box.h"
#include "ui/text_label.h"
#include "ui/timer.h"
#include "ui/tip_box.h"
#include "ui/window_skin.h"

namespace pimrose {
namespace {

const QString kCaption = QStringLiteral("Pimrose");

// Decoded once for the run and shared by every window that shows it.
QImage logo() {
  return ui::decodeImageFile(ui::kLogo);
}

}  // namespace

ProgramWindows::ProgramWindows(LogFeed& logFeed, const AppState& state, Calls calls, TaskbarFacts taskbar)
    : logFeed_(logFeed),
      state_(state),
      calls_(std::move(calls)),
      taskbarFacts_(std::move(taskbar)),
      mainWindow_(ui::loadWindow(ui::mainWindowDefinition())),
      main_(ui::resolveControls<ui::MainWindowControls>(*mainWindow_)) {
  earlyLogLinesKept_ = connect(&logFeed_, &LogFeed::linesArrived, this, &ProgramWindows::keepEarlyLogLines);
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::loadOtherWindows() {
  // Owned windows stay above the main window and go with it: their Qt parent is their only owner.
  textPopupWindow_ = ui::loadWindow(ui::textPopupWindowDefinition()).release();
  textPopupWindow_->setParent(mainWindow_.get(), textPopupWindow_->windowFlags() | Qt::Tool);
  textPopup_ = ui::resolveControls<ui::TextPopupWindowControls>(*textPopupWindow_);
  connect(textPopupWindow_, &ui::Window::aboutToBeDestroyed, this, [this] { calls_.textPopupGone(); });
  // The box toggled before the float window exists builds it and shows or hides it here (a
  // connection made while the box announces the toggle would hear only the next one); once built,
  // the window follows its box by itself.
  connect(main_.选择框_显示悬浮图标, &ui::CheckBox::aboutToToggle, this, [this](bool on) {
    if (floatIcon_) return;
    ensureFloatWindow();
    floatWindow_->setVisible(on);
  });
  if (state_.taskbarWidgetEnabled) makeTaskbarWidget();
}

void ProgramWindows::wireMainWindow() {
  mainHandlers_ = new MainWindowHandlers(
      *mainWindow_, main_, [this] { return logWindow_; }, calls_.chooseSkin);
  connect(main_.窗口EX1, &ui::WindowSkin::clickedAt, this, [this](QPoint point) {
    if (LogWindowController::isCorner(point)) ensureLogWindow()->toggle();
  });
}

void ProgramWindows::dressMainWindow() {
  mainWindow_->resize(ui::kMainWindowSize);
  mainWindow_->setWindowTitle(kCaption);
  main_.窗口EX1->setTitle(kCaption);
  // The window's own icon (256 pixels, for the window manager) waits for the first paint; the
  // caption's is part of it.
  main_.窗口EX1->setCaptionIcon(logo());
}

void ProgramWindows::showCompanions() {
  if (main_.选择框_显示悬浮图标->isChecked()) ensureFloatWindow()->applyOption();
  // The log window, a hidden float window and the windows' icons for the window manager and task
  // bar are no part of the first picture: they come once that has been painted.
  FirstPaintProbe::watch(*mainWindow_, [this] {
    const QIcon icon(QPixmap::fromImage(logo()));
    QApplication::setWindowIcon(icon);
    mainWindow_->setWindowIcon(icon);
    ensureLogWindow();
    ensureFloatWindow();
  });
}

void ProgramWindows::applySkin(int skin) {
  for (ui::Window* window : {mainWindow_.get(), textPopupWindow_, logWindow_, floatWindow_.get()})
    if (window) ui::applySkin(*window, skin);
}

// The log window, as the corner click and the feed need it: in the skin worn now, centred on the
// main window, holding the lines logged so far.
LogWindowController* ProgramWindows::ensureLogWindow() {
  if (logController_) return logController_;
  logWindow_ = ui::loadWindow(ui::logWindowDefinition()).release();
  logWindow_->setParent(mainWindow_.get(), logWindow_->windowFlags() | Qt::Window);
  log_ = ui::resolveControls<ui::LogWindowControls>(*logWindow_);
  log_.窗口EX1->setIcon(logo());
  ui::applySkin(*logWindow_, state_.skinIndex);
  if (mainHandlers_) mainHandlers_->centreLogWindow();
  logController_ = new LogWindowController(LogWindowParts{*logWindow_, *log_.超级列表框_日志}, logFeed_,
                                           systemClipboard());
  disconnect(earlyLogLinesKept_);
  logController_->appendLines(earlyLogLines_);
  earlyLogLines_ = {};
  return logController_;
}

// Only the newest lines the log window would keep are worth keeping.
void ProgramWindows::keepEarlyLogLines(const std::vector<LogLine>& lines) {
  earlyLogLines_.insert(earlyLogLines_.end(), lines.begin(), lines.end());
  const std::size_t keep = LogWindowController::kMaxRows;
  if (earlyLogLines_.size() > keep)
    earlyLogLines_.erase(earlyLogLines_.begin(), earlyLogLines_.end() - std::ptrdiff_t(keep));
}

ui::Window& ProgramWindows::logWindow() {
  ensureLogWindow();
  return *logWindow_;
}

const ui::LogWindowControls& ProgramWindows::logControls() {
  ensureLogWindow();
  return log_;
}

// The float window, in the skin worn now; once built it follows its option box by itself.
FloatWindow* ProgramWindows::ensureFloatWindow() {
  if (floatIcon_) return floatIcon_;
  floatWindow_ = ui::loadWindow(ui::floatWindowDefinition());
  float_ = ui::resolveControls<ui::FloatWindowControls>(*floatWindow_);
  floatIcon_ = new FloatWindow(*floatWindow_, float_, *main_.选择框_显示悬浮图标,
                               {[this] { ToggleMainWindow(*mainWindow_); }, calls_.popUpFloatMenu});
  ui::applySkin(*floatWindow_, state_.skinIndex);
  return floatIcon_;
}

ui::Window& ProgramWindows::floatWindow() {
  ensureFloatWindow();
  return *floatWindow_;
}

const ui::FloatWindowControls& ProgramWindows::floatControls() {
  ensureFloatWindow();
  return float_;
}

// The taskbar widget and its load figures: one sampler for the run, sampling only while the widget
// exists (its timer lives in the widget).
void ProgramWindows::makeTaskbarWidget() {
  taskbarWidget_ = ui::loadWindow(ui::taskbarWidgetDefinition());
  taskbar_ = ui::resolveControls<ui::TaskbarWidgetControls>(*taskbarWidget_);
  (new TaskbarWidget(*taskbarWidget_, taskbar_, calls_.popUpFloatMenu))->embedWidgetInTaskbar();
  if (!loadSampler_)
    loadSampler_ = std::make_unique<LoadSampler>(taskbarFacts_.osFacts, taskbarFacts_.systemFiles);
  loadSampler_->widgetCreated();
  connect(taskbar_.任务栏_刷新信息, &ui::Timer::elapsed, this, [this] {
    const StatusLines lines = loadSampler_->RefreshStatusLines();
    taskbar_.标签_信息上->setText(lines.upper);
    taskbar_.标签_信息下->setText(lines.lower);
  });
  connect(taskbar_.图片框_容器, &ui::Control::pointerInside, this, [this](bool inside) {
    if (inside)
      ui::popUpTip(UptimeTipText(taskbarFacts_.bootClock()), QCursor::pos());
    else
      ui::closeTip();
  });
}

}  // namespace pimrose
