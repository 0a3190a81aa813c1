#include "platform/file_url.h"

#include <sys/stat.h>

#include "text/file_names.h"

namespace pimrose {

QUrl localFileUrl(const QString& path) {
  const QByteArray encoded = encodeFileName(path).toPercentEncoding("/");
  return QUrl::fromEncoded(QByteArrayLiteral("file://") + encoded, QUrl::StrictMode);
}

bool pathExists(const QString& path) {
  if (path.isEmpty()) return false;
  struct stat info {};
  return ::stat(encodeFileName(path).constData(), &info) == 0;
}

}  // namespace pimrose
