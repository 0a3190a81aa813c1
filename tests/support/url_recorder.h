#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace pimrose::test {

// Receives the URLs QDesktopServices would hand to xdg-open, when installed as the URL handler
// for a scheme (QDesktopServices::setUrlHandler(scheme, &recorder, "open")).
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;

 public Q_SLOTS:
  void open(const QUrl& url) { urls.append(url); }
};

}  // namespace pimrose::test
