#include <gtest/gtest.h>

#include <QTableWidget>
#include <QTest>

#include "app/log_window_controller.h"
#include "support/wait_for.h"
#include "ui/caption_buttons.h"
#include "ui/window_skin.h"

namespace pimrose {
namespace {

class LogWindowFixture : public ::testing::Test {
 protected:
  LogWindowFixture()
      : window_(ui::loadWindow(ui::logWindowDefinition())),
        parts_(findLogWindowParts(*window_)),
        controller_(
            new LogWindowController(parts_, feed_, [this](const QString& text) { copied_ << text; })) {}

  void append(int count, const QString& text = QStringLiteral("line")) {
    std::vector<LogLine> lines;
    for (int i = 0; i < count; ++i) lines.push_back({++number_, stamp_, text});
    controller_->appendLines(lines);
  }
  ui::ReportList& list() { return parts_.list; }

  LogFeed feed_;
  std::unique_ptr<ui::Window> window_;
  LogWindowParts parts_;
  LogWindowController* controller_;
  QStringList copied_;
  quint64 number_ = 0;
  qint64 stamp_ = QDateTime(QDate(2024, 3, 7), QTime(7, 8, 9)).toMSecsSinceEpoch();
};

TEST_F(LogWindowFixture, ThreeColumnsAndPaddedNumberedRows) {
  ASSERT_EQ(list().columnCount(), 3);
  const std::pair<QString, int> columns[] = {{"序号", 50}, {"时间", 100}, {"内容", 400}};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(list().columnTitle(c), columns[c].first);
    EXPECT_EQ(list().columnWidth(c), columns[c].second);
  }
  append(2, QStringLiteral("decode failed"));
  ASSERT_EQ(list().itemCount(), 2);
  EXPECT_EQ(list().itemTitle(0, 0), QStringLiteral("1"));
  EXPECT_EQ(list().itemTitle(1, 0), QStringLiteral("2"));
  EXPECT_EQ(list().itemTitle(0, 1), QStringLiteral("07:08:09"));
  EXPECT_EQ(list().itemTitle(0, 2), QStringLiteral("decode failed"));
  EXPECT_EQ(list().table()->rowHeight(1), LogWindowController::kRowHeight);
}

TEST_F(LogWindowFixture, KeepsTheNewestRowsWhileNumbersKeepCounting) {
  append(LogWindowController::kMaxRows - 5);
  append(20);
  ASSERT_EQ(list().itemCount(), LogWindowController::kMaxRows);
  EXPECT_EQ(list().itemTitle(0, 0), QStringLiteral("16"));
  EXPECT_EQ(list().itemTitle(LogWindowController::kMaxRows - 1, 0),
            QString::number(LogWindowController::kMaxRows + 15));
}

TEST_F(LogWindowFixture, CopiesTheMessageOfARow) {
  append(1, QStringLiteral("first"));
  append(1, QString());
  controller_->copyRow(0);
  controller_->copyRow(1);
  controller_->copyRow(2);   // no such row
  controller_->copyRow(-1);  // none selected
  EXPECT_EQ(copied_, (QStringList{"first", ""})) << "an empty message copies an empty text";

  copied_.clear();
  list().table()->setCurrentCell(0, 0);
  QTest::keyClick(list().table(), Qt::Key_C, Qt::ControlModifier);
  Q_EMIT list().itemEvent(1);
  EXPECT_EQ(copied_, (QStringList{"first", ""})) << "Ctrl+C copies the selected row's message, not its cell";
}

TEST_F(LogWindowFixture, HiddenNotClosedAndToggledFromTheCorner) {
  window_->show();
  EXPECT_FALSE(window_->close()) << "the close request is refused";
  EXPECT_TRUE(window_->isVisible());
  Q_EMIT window_->skin()->captionButtonPressed(ui::CaptionButton::Maximise);
  EXPECT_TRUE(window_->isVisible());
  Q_EMIT window_->skin()->captionButtonPressed(ui::CaptionButton::Close);
  EXPECT_FALSE(window_->isVisible());

  const std::pair<QPoint, bool> clicks[] = {
      {{0, 0}, true}, {{39, 39}, true}, {{40, 0}, false}, {{0, 40}, false}, {{39, 40}, false}};
  for (const auto& [point, toggles] : clicks) {
    const bool before = window_->isVisible();
    controller_->onMainWindowClick(point);
    EXPECT_EQ(window_->isVisible(), toggles ? !before : before) << point.x() << "," << point.y();
  }
}

TEST_F(LogWindowFixture, ListFollowsTheWindowSize) {
  EXPECT_EQ(list().geometry(), QRect(5, 37, 590, 358));
  window_->show();
  window_->resize(800, 500);
  EXPECT_EQ(list().geometry(), QRect(5, 37, 790, 458));
}

TEST_F(LogWindowFixture, LinesFromTheFeedArriveOnTheUiThread) {
  feed_.push(QStringLiteral("from the feed"));
  ASSERT_TRUE(test::waitFor([&] { return list().itemCount() == 1; }));
  EXPECT_EQ(list().itemTitle(0, 2), QStringLiteral("from the feed"));
  EXPECT_EQ(list().itemTitle(0, 0), QStringLiteral("1"));
}

}  // namespace
}  // namespace pimrose
