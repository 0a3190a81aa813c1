#include "ui/icon_list_model.h"

#include "ui/picture_drag_data.h"

#include <QFileInfo>

namespace pimrose::ui {

int IconListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : count();
}

Qt::ItemFlags IconListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractListModel::flags(index);
  if (index.isValid() && !path(index.row()).isEmpty()) flags |= Qt::ItemIsDragEnabled;
  return flags;
}

QStringList IconListModel::mimeTypes() const {
  return PictureDragData(QStringList()).formats();
}

QMimeData* IconListModel::mimeData(const QModelIndexList& indexes) const {
  QStringList paths;
  for (const QModelIndex& index : indexes)
    if (index.isValid() && !path(index.row()).isEmpty()) paths.append(path(index.row()));
  return paths.isEmpty() ? nullptr : new PictureDragData(paths);
}

Qt::DropActions IconListModel::supportedDragActions() const {
  return Qt::CopyAction;
}

QVariant IconListModel::data(const QModelIndex& index, int role) const {
  if (!contains(index.row())) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QFileInfo(path(index.row())).fileName();
    case Qt::ToolTipRole:
    case PathRole:
      return path(index.row());
    case IconRole:
      return icon(index.row());
    case HeightRole:
      return height(index.row());
    default:
      return {};
  }
}

void IconListModel::resize(qsizetype count) {
  heights_.assign(size_t(count), 0);
  asked_.assign(size_t(count), false);
  icons_.clear();
}

void IconListModel::resetItems(int count) {
  beginResetModel();
  paths_.clear();
  resize(std::max(0, count));
  endResetModel();
}

void IconListModel::resetItems(const QStringList& paths) {
  beginResetModel();
  paths_ = paths;
  resize(paths.size());
  endResetModel();
}

// Rare (the engine's own insert and delete): every later item moves, its icon with it.
void IconListModel::insertItems(int count, int at) {
  if (count <= 0) return;
  const int first = (at < 0 || at > this->count()) ? this->count() : at;
  beginInsertRows({}, first, first + count - 1);
  if (first < paths_.size()) paths_.insert(first, count, QString());
  heights_.insert(heights_.begin() + first, size_t(count), 0);
  asked_.insert(asked_.begin() + first, size_t(count), false);
  std::unordered_map<int, QImage> moved;
  for (auto& [index, image] : icons_) moved.emplace(index < first ? index : index + count, std::move(image));
  icons_.swap(moved);
  endInsertRows();
}

void IconListModel::removeItem(int index) {
  if (!contains(index)) return;
  beginRemoveRows({}, index, index);
  if (index < paths_.size()) paths_.removeAt(index);
  heights_.erase(heights_.begin() + index);
  asked_.erase(asked_.begin() + index);
  icons_.erase(index);
  std::unordered_map<int, QImage> moved;
  for (auto& [at, image] : icons_) moved.emplace(at < index ? at : at - 1, std::move(image));
  icons_.swap(moved);
  endRemoveRows();
}

void IconListModel::changed(int index) {
  Q_EMIT cellChanged(index);
}

void IconListModel::setIcon(int index, const QImage& image) {
  if (!contains(index)) return;
  if (image.isNull())
    icons_.erase(index);
  else
    icons_[index] = image;
  changed(index);
}

bool IconListModel::hasIcon(int index) const {
  return icons_.count(index) != 0;
}

const QImage& IconListModel::icon(int index) const {
  static const QImage none;
  const auto found = icons_.find(index);
  return found != icons_.end() ? found->second : none;
}

void IconListModel::setHeight(int index, int height) {
  if (!contains(index)) return;
  heights_[size_t(index)] = std::max(0, height);
  changed(index);
}

int IconListModel::height(int index) const {
  return contains(index) ? heights_[size_t(index)] : 0;
}

void IconListModel::setPath(int index, const QString& path) {
  if (!contains(index)) return;
  if (paths_.size() < count()) paths_.resize(count());
  paths_[index] = path;
  changed(index);
}

QString IconListModel::path(int index) const {
  return contains(index) && index < paths_.size() ? paths_[index] : QString();
}

bool IconListModel::asked(int index) const {
  return contains(index) && asked_[size_t(index)];
}

void IconListModel::setAsked(int index, bool asked) {
  if (contains(index)) asked_[size_t(index)] = asked;
}

}  // namespace pimrose::ui
