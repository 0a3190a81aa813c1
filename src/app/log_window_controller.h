#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QObject>
#include <QPoint>

#include "system/log_feed.h"
#include "ui/caption_buttons.h"
#include "ui/report_list.h"
#include "ui/window.h"

namespace pimrose {

// The log window and the one control it works with.
struct LogWindowParts {
  ui::Window& window;
  ui::ReportList& list;
};

// The log window's parts, from its typed controls.
LogWindowParts findLogWindowParts(ui::Window& window);

using ClipboardSetter = std::function<void(const QString& text)>;
// Puts plain text on the system clipboard.
ClipboardSetter systemClipboard();

// The log window: numbered, time-stamped lines from the log feed, newest in view; a row's text can
// be copied; hidden rather than closed, and shown or hidden by a click in the main window's top-left
// corner. It keeps the newest rows only, so a flood of lines cannot grow it for the life of the
// program; the numbers keep counting.
//
// Usage (UI thread):
//   auto* log = new LogWindowController(findLogWindowParts(logWindow), feed, systemClipboard());
//   log->watchCorner(mainWindow);
class LogWindowController : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxRows = 10000;
  static constexpr int kRowHeight = 30;
  static constexpr int kTitleFontPixels = 14;
  static constexpr int kRowFontPixels = 12;
  static constexpr int kCorner = 40;

  LogWindowController(LogWindowParts parts, LogFeed& feed, ClipboardSetter setClipboard);

  void appendLines(const std::vector<LogLine>& lines);
  // Puts the message of that row on the clipboard; a row that does not exist copies nothing.
  void copyRow(int row);
  void toggle();
  // A click at a point of the main window (window coordinates): the top-left corner toggles.
  void onMainWindowClick(QPoint point);
  // Whether a click at that point of the main window (window coordinates) is in the toggling corner.
  static bool isCorner(QPoint point) { return point.x() < kCorner && point.y() < kCorner; }
  // Toggles on clicks in the corner of that window's own background.
  void watchCorner(ui::Window& mainWindow);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void setUpFonts();
  void setUpColumns();
  void placeList();
  void onCaptionButton(ui::CaptionButton button);
  void appendLine(const LogLine& line);
  const QString& timeText(qint64 msecsSinceEpoch);

  ui::Window& window_;
  ui::ReportList& list_;
  ClipboardSetter setClipboard_;
  // The time column of the last row: a burst shares a handful of seconds, and turning each stamp
  // into local time again costs the UI thread more than the rest of the row.
  std::optional<qint64> shownSecond_;
  QString shownTime_;
};

}  // namespace pimrose
