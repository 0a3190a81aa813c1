#include "ui/pending_move.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace pimrose::ui {

PendingMove::PendingMove(QWidget* surface, QWidget* window, std::function<bool(QPoint)> startsMove)
    : QObject(surface), window_(window), startsMove_(std::move(startsMove)) {
  surface->installEventFilter(this);
}

bool PendingMove::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      armed_ = mouse->button() == Qt::LeftButton && startsMove_(mouse->position().toPoint());
      pressedAt_ = mouse->globalPosition().toPoint();
      break;
    }
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const int travelled = (mouse->globalPosition().toPoint() - pressedAt_).manhattanLength();
      if (armed_ && (mouse->buttons() & Qt::LeftButton) && travelled >= QApplication::startDragDistance())
        startMove();
      break;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      armed_ = false;
      break;
    default:
      break;
  }
  return false;
}

void PendingMove::startMove() {
  armed_ = false;
  if (QWindow* handle = window_->windowHandle()) handle->startSystemMove();
  Q_EMIT moveStarted();
}

}  // namespace pimrose::ui
