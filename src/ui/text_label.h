#pragma once

#include "ui/control.h"

namespace pimrose::ui {

// LabelEx: a text (the engine's "title text") in the skin's text colour or a colour of its own.
class TextLabel : public Control {
  Q_OBJECT

 public:
  TextLabel(const ControlDefinition& definition, QWidget* parent);

  void setText(const QString& text);
  const QString& text() const { return text_; }
  // An invalid colour means the skin's colour.
  void setTextColour(QColor colour);
  QColor textColour() const { return textColour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  QColor textColour_;
};

}  // namespace pimrose::ui
