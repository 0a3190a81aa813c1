#pragma once

#include <QByteArray>
#include <QMimeData>

namespace pimrose {

// A picture on the clipboard, as PNG bytes encoded before it is put there (off the UI thread):
// whoever pastes it, and whenever, gets the bytes as they are, so a paste never waits for an
// encoder on the UI thread and the clipboard holds the PNG alone, not the decoded pixels beside it.
//
// The PNG is offered under two names, the older alias "image/x-png" first and "image/png" second:
// a clipboard manager that keeps every format but the first offered (xfce4-clipman) still keeps
// "image/png" when the program exits. No other image format is offered: Qt would encode each on
// the UI thread the first time a program asked for it.
class PictureMimeData : public QMimeData {
  Q_OBJECT
 public:
  explicit PictureMimeData(QByteArray png);

  QStringList formats() const override;
  bool hasFormat(const QString& mimeType) const override;

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

 private:
  QByteArray png_;
};

}  // namespace pimrose
