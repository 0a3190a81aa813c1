#include "ui/icon_list_model.h"

#include "ui/picture_drag_data.h"

#include <QFileInfo>

namespace pimrose::ui {

int IconListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : count();
}

Qt::ItemFlags IconListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractListModel::flags(index);
  if (index.isValid() && contains(index.row()) && !items_[size_t(index.row())].path.isEmpty())
    flags |= Qt::ItemIsDragEnabled;
  return flags;
}

QStringList IconListModel::mimeTypes() const {
  return PictureDragData(QStringList()).formats();
}

QMimeData* IconListModel::mimeData(const QModelIndexList& indexes) const {
  QStringList paths;
  for (const QModelIndex& index : indexes)
    if (index.isValid() && contains(index.row()) && !items_[size_t(index.row())].path.isEmpty())
      paths.append(items_[size_t(index.row())].path);
  return paths.isEmpty() ? nullptr : new PictureDragData(paths);
}

Qt::DropActions IconListModel::supportedDragActions() const {
  return Qt::CopyAction;
}

QVariant IconListModel::data(const QModelIndex& index, int role) const {
  if (!contains(index.row())) return {};
  const Item& item = items_[index.row()];
  switch (role) {
    case Qt::DisplayRole:
      return QFileInfo(item.path).fileName();
    case Qt::ToolTipRole:
      return item.path;
    case IconRole:
      return item.icon;
    case HeightRole:
      return item.height;
    case PathRole:
      return item.path;
    default:
      return {};
  }
}

void IconListModel::resetItems(int count) {
  beginResetModel();
  items_.clear();
  items_.resize(static_cast<size_t>(std::max(0, count)));
  endResetModel();
}

void IconListModel::resetItems(const QStringList& paths) {
  beginResetModel();
  items_.clear();
  items_.resize(static_cast<size_t>(paths.size()));
  for (qsizetype i = 0; i < paths.size(); ++i) items_[static_cast<size_t>(i)].path = paths[i];
  endResetModel();
}

void IconListModel::insertItems(int count, int at) {
  if (count <= 0) return;
  const int first = (at < 0 || at > this->count()) ? this->count() : at;
  beginInsertRows({}, first, first + count - 1);
  items_.insert(items_.begin() + first, static_cast<size_t>(count), Item{});
  endInsertRows();
}

void IconListModel::removeItem(int index) {
  if (!contains(index)) return;
  beginRemoveRows({}, index, index);
  items_.erase(items_.begin() + index);
  endRemoveRows();
}

void IconListModel::changed(int index) {
  Q_EMIT cellChanged(index);
}

void IconListModel::setIcon(int index, const QImage& image) {
  if (!contains(index)) return;
  items_[index].icon = image;
  changed(index);
}

bool IconListModel::hasIcon(int index) const {
  return contains(index) && !items_[index].icon.isNull();
}

const QImage& IconListModel::icon(int index) const {
  static const QImage none;
  return contains(index) ? items_[index].icon : none;
}

void IconListModel::setHeight(int index, int height) {
  if (!contains(index)) return;
  items_[index].height = std::max(0, height);
  changed(index);
}

int IconListModel::height(int index) const {
  return contains(index) ? items_[index].height : 0;
}

void IconListModel::setPath(int index, const QString& path) {
  if (!contains(index)) return;
  items_[index].path = path;
  changed(index);
}

QString IconListModel::path(int index) const {
  return contains(index) ? items_[index].path : QString();
}

bool IconListModel::asked(int index) const {
  return contains(index) && items_[index].asked;
}

void IconListModel::setAsked(int index, bool asked) {
  if (contains(index)) items_[index].asked = asked;
}

}  // namespace pimrose::ui
