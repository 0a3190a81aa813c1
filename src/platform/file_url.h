#pragma once

#include <QString>
#include <QUrl>

namespace pimrose {

// The file:// URL of a path as the program holds it (see file_names.h): the name's exact bytes,
// percent-encoded, so a file whose name is not UTF-8 is still the file the URL names.
QUrl localFileUrl(const QString& path);

// Whether something (file, folder, or the target of a link) exists at the path's exact bytes.
bool pathExists(const QString& path);

}  // namespace pimrose
