#pragma once

#include "ui/control.h"

class QPainter;

namespace pimrose::ui {

// ChoiceboxEx: a check box with a text and an optional status text (shown as its tip).
class CheckBox : public Control {
  Q_OBJECT

 public:
  CheckBox(const ControlDefinition& definition, QWidget* parent);

  // Sets the state without raising the change events.
  void setChecked(bool checked);
  bool isChecked() const { return checked_; }

  void setText(const QString& text);
  const QString& text() const { return text_; }
  void setStatusText(const QString& text);
  const QString& statusText() const { return statusText_; }
  void setTextColour(QColor colour);

  // The user's toggle: aboutToToggle with the new state while the old one still holds, then
  // toggled with the new state.
  void toggleByUser();

 Q_SIGNALS:
  void aboutToToggle(bool newState);
  void toggled(bool checked);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void paintStatusText(QPainter& painter, const QRect& box);

  bool checked_ = false;
  QString text_;
  QString statusText_;
  QColor textColour_;
};

}  // namespace pimrose::ui
