#pragma once

#include <QImage>

#include "ui/control.h"

namespace pimrose::ui {

// MinutesboxEx: a framed box with an icon and one line of text (the sliding notice).
class GroupBox : public Control {
  Q_OBJECT

 public:
  GroupBox(const ControlDefinition& definition, QWidget* parent);

  void setText(const QString& text);
  const QString& text() const { return text_; }
  // An invalid colour means the skin's text colour.
  void setTextColour(QColor colour);
  QColor textColour() const { return textColour_; }
  // The bytes of an image file; empty or undecodable bytes remove the icon.
  void setIconImage(const QByteArray& bytes);
  const QImage& icon() const { return icon_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  QColor textColour_;
  QImage icon_;
};

}  // namespace pimrose::ui
