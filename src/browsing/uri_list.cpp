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

QByteArray machineName() {
  return QSysInfo::machineHostName().toUtf8();
}

// The name is asked for once: a drop of 100,000 URIs naming this host would ask the system each
// time. A host that does not match is checked against the name of now, which may have changed.
bool isThisMachine(QByteArrayView host) {
  if (host.isEmpty() || host.compare("localhost", Qt::CaseInsensitive) == 0) return true;
  static const QByteArray known = machineName();
  return host.compare(known, Qt::CaseInsensitive) == 0 ||
         host.compare(machineName(), Qt::CaseInsensitive) == 0;
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

namespace {

// Calls `take` with the local path of every URI line, in order, until it answers false.
template <typename Take>
void forEachLocalPath(QByteArrayView uriList, Take take) {
  qsizetype start = 0;
  while (start < uriList.size()) {
    qsizetype end = uriList.indexOf('\n', start);
    if (end < 0) end = uriList.size();
    const QByteArrayView line = trimmedLine(uriList.sliced(start, end - start));
    start = end + 1;
    if (line.isEmpty() || line.front() == '#') continue;
    const QString path = localPathFromFileUri(line);
    if (!path.isEmpty() && !take(path)) return;
  }
}

}  // namespace

QStringList localPathsFromUriList(QByteArrayView uriList) {
  QStringList paths;
  forEachLocalPath(uriList, [&paths](const QString& path) {
    paths.append(path);
    return true;
  });
  return paths;
}

bool hasLocalPath(QByteArrayView uriList) {
  bool found = false;
  forEachLocalPath(uriList, [&found](const QString&) { return !(found = true); });
  return found;
}

}  // namespace pimrose
