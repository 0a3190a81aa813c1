#include "app/log_window_controller.h"

#include "ui/log_window_controls.h"

#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>

#include "platform/clipboard_text.h"
#include "text/text_conversion.h"
#include "time_texts/automation_date.h"
#include "time_texts/date_time_text.h"
#include "ui/caption_buttons.h"
#include "ui/window_skin.h"

namespace pimrose {
namespace {

struct Column {
  const char16_t* title;
  int width;
};
constexpr Column kColumns[] = {{u"序号", 50}, {u"时间", 100}, {u"内容", 400}};
constexpr int kMessageColumn = 2;

QString timeOfDay(qint64 msecsSinceEpoch) {
  const QDateTime local = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch);
  const QTime time = local.time();
  return DateTimeText(automationDateOf({local.date(), QTime(time.hour(), time.minute(), time.second())}));
}

}  // namespace

LogWindowParts findLogWindowParts(ui::Window& window) {
  return {window, *ui::resolveControls<ui::LogWindowControls>(window).超级列表框_日志};
}

// A row's text goes to the clipboard as a wide text, as the list hands it over.
ClipboardSetter systemClipboard() {
  return [](const QString& text) { SetClipboardWideText(toWide(text)); };
}

LogWindowController::LogWindowController(LogWindowParts parts, LogFeed& feed, ClipboardSetter setClipboard)
    : QObject(&parts.window),
      window_(parts.window),
      list_(parts.list),
      setClipboard_(std::move(setClipboard)) {
  setUpFonts();
  setUpColumns();
  placeList();
  connect(&feed, &LogFeed::linesArrived, this, &LogWindowController::appendLines);
  connect(&window_, &ui::Window::sizeChanged, this, &LogWindowController::placeList);
  window_.setCloseHandler([] { return false; });  // a close request never closes the log window
  if (ui::WindowSkin* skin = window_.skin())
    connect(skin, &ui::WindowSkin::captionButtonPressed, this, &LogWindowController::onCaptionButton);
  connect(&list_, &ui::ReportList::itemEvent, this, &LogWindowController::copyRow);
  list_.table()->installEventFilter(this);
}

// The list's two fonts, both "微软雅黑" (mapped to the installed CJK face): the column titles at 14
// pixels in bold, the rows at 12.
void LogWindowController::setUpFonts() {
  QFont titles(QStringLiteral("微软雅黑"));
  titles.setPixelSize(kTitleFontPixels);
  titles.setBold(true);
  QFont rows(QStringLiteral("微软雅黑"));
  rows.setPixelSize(kRowFontPixels);
  list_.table()->setFont(rows);
  list_.table()->horizontalHeader()->setFont(titles);
}

void LogWindowController::setUpColumns() {
  while (list_.columnCount() > 0) list_.deleteColumn(0);
  for (const Column& column : kColumns) list_.insertColumn(QString::fromUtf16(column.title), column.width);
  list_.setItemFontColour(-1, QColor());
}

void LogWindowController::placeList() {
  list_.setGeometry(5, 37, window_.width() - 10, window_.height() - 42);
}

void LogWindowController::appendLine(const LogLine& line) {
  const int row = list_.insertItem(kRowHeight);
  list_.setItemTitle(row, 0, QString::number(line.number));
  list_.setItemTitle(row, 1, timeText(line.msecsSinceEpoch));
  list_.setItemTitle(row, kMessageColumn, line.text);
}

const QString& LogWindowController::timeText(qint64 msecsSinceEpoch) {
  const qint64 second = msecsSinceEpoch / 1000;
  if (second != shownSecond_) {
    shownSecond_ = second;
    shownTime_ = timeOfDay(msecsSinceEpoch);
  }
  return shownTime_;
}

// One batch per event-loop turn: the view repaints once for it and scrolls once to its last row.
void LogWindowController::appendLines(const std::vector<LogLine>& lines) {
  if (lines.empty()) return;
  const std::size_t skip = lines.size() > std::size_t(kMaxRows) ? lines.size() - kMaxRows : 0;
  for (std::size_t i = skip; i < lines.size(); ++i) appendLine(lines[i]);
  const int excess = list_.itemCount() - kMaxRows;
  if (excess > 0) list_.removeItems(0, excess);
  list_.guaranteeVisible(list_.itemCount() - 1);
}

void LogWindowController::copyRow(int row) {
  if (row < 0 || row >= list_.itemCount()) return;
  setClipboard_(list_.itemTitle(row, kMessageColumn));
}

void LogWindowController::toggle() {
  window_.setVisible(!window_.isVisible());
}

void LogWindowController::onMainWindowClick(QPoint point) {
  if (isCorner(point)) toggle();
}

void LogWindowController::watchCorner(ui::Window& mainWindow) {
  if (ui::WindowSkin* skin = mainWindow.skin())
    connect(skin, &ui::WindowSkin::clickedAt, this, &LogWindowController::onMainWindowClick);
}

void LogWindowController::onCaptionButton(ui::CaptionButton button) {
  if (button == ui::CaptionButton::Close) window_.hide();
}

// Ctrl+C copies the selected row's message, not the cell the list would copy by itself.
bool LogWindowController::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    copyRow(list_.table()->currentRow());
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace pimrose
