#include "ui/group_box.h"

#include <QPainter>

#include "ui/image_bytes.h"

namespace pimrose::ui {

GroupBox::GroupBox(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent), text_(definition.props.text) {}

void GroupBox::setText(const QString& text) {
  text_ = text;
  update();
}

void GroupBox::setTextColour(QColor colour) {
  textColour_ = colour;
  update();
}

void GroupBox::setIconImage(const QByteArray& bytes) {
  icon_ = decodeImageBytes(bytes);
  update();
}

// The card leaves a few pixels free above and below, so boxes stacked one height apart (notices) stay
// apart.
void GroupBox::paintEvent(QPaintEvent*) {
  constexpr qreal kGap = 3;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(colours().border);
  painter.setBrush(colours().panel);
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, kGap + 0.5, -0.5, -kGap - 0.5), 8, 8);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  int textLeft = 16;
  if (!icon_.isNull()) {
    const int side = std::min(24, height() - 16);
    painter.drawImage(QRect(16, (height() - side) / 2, side, side), icon_);
    textLeft = 16 + side + 10;
  }
  painter.setPen(textColour_.isValid() ? textColour_ : colours().text);
  const QRect textBox(textLeft, 0, width() - textLeft - 12, height());
  painter.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft,
                   fontMetrics().elidedText(text_, Qt::ElideRight, textBox.width()));
}

}  // namespace pimrose::ui
