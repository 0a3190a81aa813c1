#pragma once

#include <QColor>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace pimrose::ui {

class IconList;

// Draws one cell of an icon list: the thumbnail centred in the icon area (or a placeholder
// while it is missing), the file name under it, and the hover or selection highlight.
class IconListDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit IconListDelegate(IconList* list);

  static constexpr int kPadding = 8;
  static constexpr int kLabelHeight = 22;
  QSize cellSize() const;
  QSize iconArea() const;
  // Where a thumbnail goes in the icon area: the item's height and the icon's own proportions
  // (as wide as the icon width at most; the icon width when the height is unknown), scaled down,
  // proportions kept, only when it does not fit, centred. Never stretched.
  static QRect iconTarget(QRect area, QSize icon, int itemHeight);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  void paintBackground(QPainter* painter, const QStyleOptionViewItem& option) const;
  void paintIcon(QPainter* painter, QRect area, int row) const;
  void paintPlaceholder(QPainter* painter, QRect area) const;
  static QPixmap drawnPlaceholder(int side, const QColor& fill, const QColor& mark, qreal pixelRatio);

  // The placeholder as last drawn: every missing icon of a screen looks the same, and drawing its
  // antialiased shapes anew for each cell of each repaint cost more than the thumbnails arriving.
  struct PlaceholderLook {
    int side = 0;
    QRgb fill = 0, mark = 0;
    qreal pixelRatio = 0;
    bool operator==(const PlaceholderLook&) const = default;
  };
  mutable QPixmap placeholder_;
  mutable PlaceholderLook placeholderLook_;

  IconList* list_;
};

}  // namespace pimrose::ui
