#include "pictures/file_reading.h"

#include <algorithm>
#include <limits>

#include <QFile>
#include <QFileInfo>

namespace pimrose {
namespace {

void setError(QString* error, const QString& text) {
  if (error) *error = text;
}

}  // namespace

QByteArray readFileStart(const QString& path, qint64 limit, bool* complete, QString* error) {
  if (complete) *complete = false;
  if (path.isEmpty() || !QFileInfo(path).isFile()) {
    setError(error, QStringLiteral("no such file: %1").arg(path));
    return {};
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    setError(error, file.errorString());
    return {};
  }
  const qint64 size = file.size();
  const qint64 wanted = std::min(size, limit);
  QByteArray bytes(qsizetype(wanted), Qt::Uninitialized);
  if (bytes.size() != wanted || file.read(bytes.data(), wanted) != wanted) {
    setError(error, QStringLiteral("read failed: %1").arg(path));
    return {};
  }
  if (complete) *complete = wanted == size;
  if (bytes.isEmpty()) setError(error, QStringLiteral("empty file: %1").arg(path));
  return bytes;
}

QByteArray readFileBytes(const QString& path, QString* error) {
  return readFileStart(path, std::numeric_limits<qsizetype>::max(), nullptr, error);
}

}  // namespace pimrose
