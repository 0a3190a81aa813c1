#pragma once

#include <QImage>
#include <QMimeData>

namespace pimrose {

// A picture on the clipboard: Qt's own image data (which each platform turns into its image
// formats) plus an explicit "image/png", so image editors and chat programs that ask only for PNG
// get it. The PNG is encoded when someone first asks for it, not when the picture is copied:
// encoding a large photo takes seconds and most copies are pasted once, in one format.
class PictureMimeData : public QMimeData {
  Q_OBJECT
 public:
  explicit PictureMimeData(const QImage& picture);

  QStringList formats() const override;
  bool hasFormat(const QString& mimeType) const override;

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

 private:
  QImage picture_;
  mutable QByteArray png_;
};

}  // namespace pimrose
