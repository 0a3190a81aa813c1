#include "ui/icon_list_delegate.h"

#include <algorithm>
#include <limits>

#include <QPainter>

#include "ui/icon_list.h"
#include "ui/icon_list_model.h"

namespace pimrose::ui {

IconListDelegate::IconListDelegate(IconList* list) : QStyledItemDelegate(list), list_(list) {}

// Every cell has one size, so the view lays out any number of items at once: the icon width
// wide and as tall as the tallest thumbnail of the list so far (at least square, at most the
// item height), so a portrait thumbnail shows whole at the size it was made.
QSize IconListDelegate::iconArea() const {
  const int tallest = std::max(list_->iconWidth(), list_->tallestItem());
  return {list_->iconWidth(), std::min(tallest, list_->iconHeight())};
}

// The thumbnail keeps its own proportions: a tall one (a phone's long screenshot) is as tall as its
// item and only as wide as its shape, never widened to the icon width; a 1 x 10000 strip is a line.
QRect IconListDelegate::iconTarget(QRect area, QSize icon, int itemHeight) {
  if (icon.isEmpty() || area.isEmpty()) return {area.center(), QSize(0, 0)};
  const int height = itemHeight > 0 ? itemHeight : std::numeric_limits<int>::max();
  QSize size = icon.scaled(QSize(area.width(), height), Qt::KeepAspectRatio);
  if (size.width() > area.width() || size.height() > area.height())
    size = size.scaled(area.size(), Qt::KeepAspectRatio);
  size = size.expandedTo(QSize(1, 1));
  return {area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2,
          size.width(), size.height()};
}

QSize IconListDelegate::cellSize() const {
  const QSize area = iconArea();
  return {area.width() + 2 * kPadding, area.height() + 2 * kPadding + kLabelHeight};
}

QSize IconListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return cellSize();
}

void IconListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const int row = index.row();
  list_->itemPainted(row);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setRenderHint(QPainter::SmoothPixmapTransform);
  paintBackground(painter, option);
  const QRect area(option.rect.topLeft() + QPoint(kPadding, kPadding), iconArea());
  if (list_->model()->hasIcon(row))
    paintIcon(painter, area, row);
  else
    paintPlaceholder(painter, area);
  const QRect label(option.rect.left() + 4, area.bottom() + 4, option.rect.width() - 8, kLabelHeight);
  const bool selected = option.state & QStyle::State_Selected;
  painter->setPen(selected ? list_->colours().text : list_->colours().mutedText);
  painter->setFont(list_->font());
  const QString name = index.data(Qt::DisplayRole).toString();
  painter->drawText(label, Qt::AlignHCenter | Qt::AlignVCenter,
                    painter->fontMetrics().elidedText(name, Qt::ElideMiddle, label.width()));
  painter->restore();
}

void IconListDelegate::paintBackground(QPainter* painter, const QStyleOptionViewItem& option) const {
  const SkinColours& c = list_->colours();
  const QRectF cell = QRectF(option.rect).adjusted(2.5, 2.5, -2.5, -2.5);
  if (option.state & QStyle::State_Selected) {
    QColor fill = c.accent;
    fill.setAlpha(60);
    painter->setPen(QPen(c.accent, 1.5));
    painter->setBrush(fill);
    painter->drawRoundedRect(cell, 8, 8);
  } else if (option.state & QStyle::State_MouseOver) {
    painter->setPen(Qt::NoPen);
    painter->setBrush(c.hover);
    painter->drawRoundedRect(cell, 8, 8);
  }
}

// The thumbnail at its own proportions, centred, scaled down to fit the area if needed.
void IconListDelegate::paintIcon(QPainter* painter, QRect area, int row) const {
  const QImage& icon = list_->model()->icon(row);
  painter->drawImage(iconTarget(area, icon.size(), list_->model()->height(row)), icon);
}

void IconListDelegate::paintPlaceholder(QPainter* painter, QRect area) const {
  const SkinColours& c = list_->colours();
  const int side = std::min(area.width(), area.height()) * 3 / 4;
  if (side <= 0) return;
  QColor mark = c.mutedText;
  mark.setAlpha(70);
  const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  const PlaceholderLook look{side, c.placeholder.rgba(), mark.rgba(), ratio};
  if (look != placeholderLook_) {
    placeholder_ = drawnPlaceholder(side, c.placeholder, mark, ratio);
    placeholderLook_ = look;
  }
  painter->drawPixmap(
      QPoint(area.left() + (area.width() - side) / 2, area.top() + (area.height() - side) / 2), placeholder_);
}

// A rounded square with a mountain and a sun: a picture still on its way.
QPixmap IconListDelegate::drawnPlaceholder(int side, const QColor& fill, const QColor& mark,
                                           qreal pixelRatio) {
  QPixmap pixmap(QSize(side, side) * pixelRatio);
  pixmap.setDevicePixelRatio(pixelRatio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF box(0, 0, side, side);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawRoundedRect(box, 6, 6);
  painter.setBrush(mark);
  const qreal s = side / 8.0;
  const QPointF base(box.left() + 2 * s, box.bottom() - 2.5 * s);
  painter.drawPolygon(QPolygonF({base, base + QPointF(1.6 * s, -2.2 * s), base + QPointF(3.2 * s, 0)}));
  painter.drawPolygon(
      QPolygonF({base + QPointF(2.2 * s, 0), base + QPointF(3.2 * s, -1.4 * s), base + QPointF(4.2 * s, 0)}));
  painter.drawEllipse(QPointF(box.right() - 2.6 * s, box.top() + 2.6 * s), s * 0.7, s * 0.7);
  return pixmap;
}

}  // namespace pimrose::ui
