#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QWidget;

namespace pimrose::ui {

// Starts the window manager's move of a window only once the pointer, pressed where a move may
// start, has travelled the drag distance. A press alone starts nothing, so a double-click on the
// same spot still arrives as a double-click instead of being swallowed by the move.
class PendingMove : public QObject {
  Q_OBJECT

 public:
  // Watches presses on `surface` and moves `window`; `startsMove` says whether a left press at that
  // point (surface coordinates) may begin a move.
  PendingMove(QWidget* surface, QWidget* window, std::function<bool(QPoint)> startsMove);

  bool isArmed() const { return armed_; }

 Q_SIGNALS:
  void moveStarted();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void startMove();

  QWidget* window_;
  std::function<bool(QPoint)> startsMove_;
  QPoint pressedAt_;
  bool armed_ = false;
};

}  // namespace pimrose::ui
