#pragma once

#include "ui/control.h"

class QLineEdit;

namespace pimrose::ui {

// EditboxEx: a one-line edit box. Read-only boxes are drawn without a frame (status text).
class EditBox : public Control {
  Q_OBJECT

 public:
  EditBox(const ControlDefinition& definition, QWidget* parent);

  void setText(const QString& text);
  QString text() const;
  void setTextColour(QColor colour);
  QLineEdit* lineEdit() const { return edit_; }

 Q_SIGNALS:
  // Key-down (0x100) and key-up (0x101) with the virtual key code; Enter is 13.
  void keyMessage(int messageCode, int keyCode);
  // The same key-up as a Qt key (Return and the keypad's Enter stay apart here).
  void keyReleased(Qt::Key key);
  void textEdited(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void skinChanged() override;

 private:
  QLineEdit* edit_;
  QColor textColour_;
};

}  // namespace pimrose::ui
