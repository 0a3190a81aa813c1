#include "ui/text_label.h"

#include <QPainter>

namespace pimrose::ui {

TextLabel::TextLabel(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent), text_(definition.props.text) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TextLabel::setText(const QString& text) {
  text_ = text;
  update();
}

void TextLabel::setTextColour(QColor colour) {
  textColour_ = colour;
  update();
}

void TextLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintSurface(painter, definition().props.surface);
  const ControlProps& props = definition().props;
  const QColor skinColour = props.muted ? colours().mutedText : colours().text;
  painter.setPen(textColour_.isValid() ? textColour_ : skinColour);
  int flags = props.centred ? Qt::AlignHCenter : Qt::AlignLeft;
  flags |= props.wordWrap ? (Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere) : Qt::AlignVCenter;
  painter.drawText(rect(), flags, text_);
}

}  // namespace pimrose::ui
