#include "browsing/uri_list.h"

#include <QSysInfo>

#include "text/file_names.h"

namespace pimrose {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A '%' not followed by two hex digits is kept as it is, as file managers do.
QByteArray percentDecoded(QByteArrayView text) {
  QByteArray out;
  out.reserve(text.size());
  for (qsizetype at = 0; at < text.size(); ++at) {
    const int high = (text[at] == '%' && at + 2 < text.size()) ? hexValue(text[at + 1]) : -1;
    const int low = high >= 0 ? hexValue(text[at + 2]) : -1;
    if (low >= 0) {
      out.append(char(high * 16 + low));
      at += 2;
    } else {
      out.append(text[at]);
    }
  }
  return out;
}

bool isThisMachine(QByteArrayView host) {
  if (host.isEmpty() || host.compare("localhost", Qt::CaseInsensitive) == 0) return true;
  return host.compare(QSysInfo::machineHostName().toUtf8(), Qt::CaseInsensitive) == 0;
}

bool startsWithFileScheme(QByteArrayView uri) {
  return uri.size() >= 5 && uri.first(5).compare("file:", Qt::CaseInsensitive) == 0;
}

QByteArrayView trimmedLine(QByteArrayView line) {
  while (!line.isEmpty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.chop(1);
  while (!line.isEmpty() && (line.front() == ' ' || line.front() == '\t')) line = line.sliced(1);
  return line;
}

}  // namespace

QString localPathFromFileUri(QByteArrayView uri) {
  if (!startsWithFileScheme(uri)) return {};
  QByteArrayView rest = uri.sliced(5);
  if (rest.startsWith("//")) {
    rest = rest.sliced(2);
    const qsizetype slash = rest.indexOf('/');
    if (slash < 0 || !isThisMachine(rest.first(slash))) return {};
    rest = rest.sliced(slash);
  }
  if (!rest.startsWith('/')) return {};
  const QByteArray bytes = percentDecoded(rest);
  if (bytes.contains('\0')) return {};
  return decodeFileName(bytes);
}

QStringList localPathsFromUriList(QByteArrayView uriList) {
  QStringList paths;
  qsizetype start = 0;
  while (start < uriList.size()) {
    qsizetype end = uriList.indexOf('\n', start);
    if (end < 0) end = uriList.size();
    const QByteArrayView line = trimmedLine(uriList.sliced(start, end - start));
    start = end + 1;
    if (line.isEmpty() || line.front() == '#') continue;
    const QString path = localPathFromFileUri(line);
    if (!path.isEmpty()) paths.append(path);
  }
  return paths;
}

}  // namespace pimrose
