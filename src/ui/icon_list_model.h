#pragma once

#include <unordered_map>
#include <vector>

#include <QAbstractListModel>
#include <QImage>
#include <QStringList>

namespace pimrose::ui {

// The items of an icon list: per item an icon (or none), a height and an attached path. Items
// carry no widget and their paths are the list's own, shared, so a list of a million items costs
// five bytes each and fills in a few milliseconds; only the icons held (a few thousand at most, as
// they are released) take room of their own.
class IconListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role { IconRole = Qt::UserRole + 1, HeightRole, PathRole };

  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // An item that carries a path can be dragged out; the drag offers its file (PictureDragData).
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override;

  // Replaces every item by `count` empty ones.
  void resetItems(int count);
  // Replaces every item by one empty item per path, carrying that path: one reset for the whole list.
  void resetItems(const QStringList& paths);
  // Inserts `count` empty items before `at` (at < 0 or past the end: appends).
  void insertItems(int count, int at = -1);
  void removeItem(int index);
  int count() const { return static_cast<int>(heights_.size()); }
  bool contains(int index) const { return index >= 0 && index < count(); }

  // The item keeps the image as it comes (no copy, no conversion: the loader hands over icons in
  // their compact form); an empty image releases the icon.
  void setIcon(int index, const QImage& image);
  bool hasIcon(int index) const;
  const QImage& icon(int index) const;
  void setHeight(int index, int height);
  int height(int index) const;
  void setPath(int index, const QString& path);
  QString path(int index) const;

  // Whether the list has asked the program for this item's icon since it last had none.
  bool asked(int index) const;
  void setAsked(int index, bool asked);

 Q_SIGNALS:
  // An item's icon, height or path changed. Cells all have one size, so this never moves another
  // item: the list repaints that one cell. (The model's dataChanged would make the list view lay
  // out every item again and repaint all it shows, once per thumbnail.)
  void cellChanged(int index);

 private:
  void changed(int index);
  void resize(qsizetype count);

  QStringList paths_;  // shared with the list the items were made from; may be shorter than the items
  std::vector<int> heights_;
  std::vector<bool> asked_;
  std::unordered_map<int, QImage> icons_;
};

}  // namespace pimrose::ui
