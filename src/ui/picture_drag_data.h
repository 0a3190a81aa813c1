#pragma once

#include <QMimeData>
#include <QStringList>

namespace pimrose::ui {

// What a thumbnail dragged out of an icon list offers other programs: the files as text/uri-list,
// and the first picture itself as image/png for targets that take pictures. The picture is read and
// encoded only when a target asks for it, so a drag that ends on a file manager costs nothing.
//
// The data also carries kOwnDragType, so the program's own windows can tell a drag of theirs from
// one coming from outside and ignore it.
class PictureDragData : public QMimeData {
  Q_OBJECT

 public:
  static inline const QString kOwnDragType = QStringLiteral("application/x-pimrose-own-drag");

  explicit PictureDragData(QStringList paths);

  QStringList formats() const override;
  bool hasFormat(const QString& mimeType) const override;
  const QStringList& paths() const { return paths_; }

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

 private:
  QStringList paths_;
};

// A file: URI list (CRLF after each line) for `paths`, percent-encoded from the exact name bytes,
// so a name that is not valid UTF-8 reaches the target unchanged.
QByteArray fileUriList(const QStringList& paths);

}  // namespace pimrose::ui
