#include "notices/notice_icons.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace pimrose {
namespace {

constexpr int kSide = 64;

QColor discColour(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Done:
      return QColor(0x2e, 0xa0, 0x5a);
    case MessageIcon::Failed:
      return QColor(0xd9, 0x48, 0x3b);
    case MessageIcon::Prompt:
      break;
  }
  return QColor(0x3b, 0x7d, 0xd8);
}

void drawGlyph(QPainter& painter, MessageIcon icon) {
  QPen pen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  switch (icon) {
    case MessageIcon::Done: {
      QPainterPath tick;
      tick.moveTo(19, 33);
      tick.lineTo(28, 42);
      tick.lineTo(45, 23);
      painter.drawPath(tick);
      return;
    }
    case MessageIcon::Failed:
      painter.drawLine(22, 22, 42, 42);
      painter.drawLine(42, 22, 22, 42);
      return;
    case MessageIcon::Prompt:
      painter.drawLine(32, 29, 32, 45);
      painter.setPen(Qt::NoPen);
      painter.setBrush(Qt::white);
      painter.drawEllipse(QPointF(32, 19), 4.5, 4.5);
      return;
  }
}

QImage drawIcon(MessageIcon icon) {
  QImage image(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(discColour(icon));
  painter.drawEllipse(QRectF(2, 2, kSide - 4, kSide - 4));
  drawGlyph(painter, icon);
  return image;
}

}  // namespace

QByteArray messageIconPng(MessageIcon icon) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  drawIcon(icon).save(&buffer, "PNG");
  return bytes;
}

}  // namespace pimrose
