#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Local paths from a text/uri-list (RFC 2483), read from the raw bytes: QUrl would replace the
// bytes of a name that is not valid UTF-8, and the file could no longer be found.
//
// One URI per line (CRLF or LF), lines starting with '#' are comments. Only file: URIs on this
// machine (no host, "localhost" or this host's name) give paths; they are percent-decoded to bytes
// and turned into paths with decodeFileName. Other URIs, and paths with a zero byte, are skipped.
// The order of the list is kept.

namespace pimrose {

QStringList localPathsFromUriList(QByteArrayView uriList);
// Whether the list names at least one local path; reads only as far as the first one.
bool hasLocalPath(QByteArrayView uriList);

// The local path of one file: URI, or an empty string when it names none.
QString localPathFromFileUri(QByteArrayView uri);

}  // namespace pimrose
