#pragma once

#include <QWidget>

namespace pimrose::ui {

// The caption buttons, as the skin control reports them.
enum class CaptionButton { Close, Maximise, Minimise };

// Minimise, maximise and close at the right end of a window's caption strip.
class CaptionButtons : public QWidget {
  Q_OBJECT

 public:
  explicit CaptionButtons(QWidget* window);

  // Places the buttons at the top-right corner of a window of that size.
  void placeIn(QSize windowSize);

 Q_SIGNALS:
  void pressed(pimrose::ui::CaptionButton button);

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
