#pragma once

#include <QWidget>

namespace pimrose::ui {

// Indexes the skin control reports for its caption buttons.
enum CaptionButton : int { kCaptionClose = 0, kCaptionMaximise = 1, kCaptionMinimise = 3 };

// Minimise, maximise and close at the right end of a window's caption strip.
class CaptionButtons : public QWidget {
  Q_OBJECT

 public:
  explicit CaptionButtons(QWidget* window);

  // Places the buttons at the top-right corner of a window of that size.
  void placeIn(QSize windowSize);

 Q_SIGNALS:
  void pressed(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  static constexpr int kButtonWidth = 46;
  int slotAt(QPoint point) const;
  int hovered_ = -1;
};

}  // namespace pimrose::ui
