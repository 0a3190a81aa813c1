#include <QMouseEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "ui/controls.h"
#include "ui/pending_move.h"

namespace pimrose::ui {
namespace {

class CaptionMove : public ::testing::Test {
 protected:
  void SetUp() override {
    window->show();
    move = window->findChild<PendingMove*>(QString(), Qt::FindDirectChildrenOnly);
  }
  void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, at, window->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &event);
  }
  std::unique_ptr<Window> window = loadWindow(mainWindowDefinition());
  PendingMove* move = nullptr;
};

// The caption's double-click must arrive whole: a press, a few pixels of jitter, a release and a
// second press start no move.
TEST_F(CaptionMove, StartsOnlyAfterThePointerTravelsFromACaptionPress) {
  ASSERT_NE(move, nullptr);
  QSignalSpy started(move, &PendingMove::moveStarted);
  QSignalSpy doubleClicked(window.get(), &Window::doubleClicked);
  struct Step {
    QEvent::Type type;
    QPoint at;
    Qt::MouseButton button;
    Qt::MouseButtons held;
    int startedAfter;
  };
  const Step steps[] = {
      {QEvent::MouseButtonPress, {600, 10}, Qt::LeftButton, Qt::LeftButton, 0},
      {QEvent::MouseMove, {601, 11}, Qt::NoButton, Qt::LeftButton, 0},
      {QEvent::MouseButtonRelease, {601, 11}, Qt::LeftButton, Qt::NoButton, 0},
      {QEvent::MouseButtonDblClick, {601, 11}, Qt::LeftButton, Qt::LeftButton, 0},
      {QEvent::MouseMove, {650, 40}, Qt::NoButton, Qt::LeftButton, 0},
      {QEvent::MouseButtonPress, {600, 200}, Qt::LeftButton, Qt::LeftButton, 0},  // below the caption
      {QEvent::MouseMove, {650, 240}, Qt::NoButton, Qt::LeftButton, 0},
      {QEvent::MouseButtonPress, {600, 10}, Qt::LeftButton, Qt::LeftButton, 0},
      {QEvent::MouseMove, {640, 30}, Qt::NoButton, Qt::LeftButton, 1},
      {QEvent::MouseMove, {680, 50}, Qt::NoButton, Qt::LeftButton, 1},
  };
  for (const Step& step : steps) {
    send(step.type, step.at, step.button, step.held);
    EXPECT_EQ(started.count(), step.startedAfter) << step.at.x() << "," << step.at.y();
  }
  EXPECT_EQ(doubleClicked.count(), 1);
}

}  // namespace
}  // namespace pimrose::ui
