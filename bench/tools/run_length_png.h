#pragma once

#include <QByteArray>
#include <QImage>

// The shared thumbnail cache's entries as Pimrose wrote them before: 8-bit RGB(A), every row
// filtered with "up", deflated by zlib with its run-length strategy at level 1, through libpng.
// The benchmark reads them beside today's entries, in the same run.

namespace pimrose::bench {

QByteArray runLengthPng(const QImage& image);

}  // namespace pimrose::bench
