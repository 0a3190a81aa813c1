#include "system/system_files.h"

#include <climits>

#include <unistd.h>

#include <QDir>
#include <QFile>

namespace pimrose {
namespace {

// The largest system file read here (/proc/stat on a machine with many processors) is far below.
constexpr qint64 kReadCap = 4 * 1024 * 1024;

}  // namespace

SystemFiles::SystemFiles(QString root) : root_(std::move(root)) {}

QString SystemFiles::resolve(const QString& path) const {
  QString base = root_;
  while (base.endsWith(QLatin1Char('/'))) base.chop(1);
  return base + (path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
}

std::optional<QByteArray> SystemFiles::read(const QString& path) const {
  QFile file(resolve(path));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray content;
  while (content.size() < kReadCap) {
    const QByteArray chunk = file.read(std::min<qint64>(64 * 1024, kReadCap - content.size()));
    if (chunk.isEmpty()) break;
    content += chunk;
  }
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return content;
}

QString SystemFiles::firstLine(const QString& path) const {
  const std::optional<QByteArray> content = read(path);
  if (!content) return {};
  const qsizetype end = content->indexOf('\n');
  return QString::fromUtf8(end < 0 ? *content : content->left(end)).trimmed();
}

QString SystemFiles::linkTarget(const QString& path) const {
  char target[PATH_MAX];
  const ssize_t length = ::readlink(QFile::encodeName(resolve(path)).constData(), target, sizeof target);
  return length > 0 ? QFile::decodeName(QByteArray(target, length)) : QString();
}

QStringList SystemFiles::entries(const QString& path) const {
  return QDir(resolve(path)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

}  // namespace pimrose
