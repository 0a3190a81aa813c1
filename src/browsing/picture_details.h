#pragma once

#include <QLocale>
#include <QSize>
#include <QString>
#include <QStringList>

namespace pimrose {

// The one-line details of a selected picture, as the status text shows them:
//   位置：3/120   分辨率：1920*1080   大小：1.5M   创建时间：2024-01-31 14:05:09   路径：/photos/a.jpg
// Every piece after the first begins with three ASCII spaces; the colons are full-width.
struct PictureDetails {
  qsizetype position = 0;  // 1-based position in the shown list
  qsizetype count = 0;     // entries of the shown list (the search list while it is shown)
  QSize resolution;        // upright pixels; an invalid or empty size shows as 0*0
  qint64 size = 0;         // bytes
  QString creationTime;    // empty when it could not be read
  QString path;
};

// Joins the pieces; touches no file.
QString PictureDetailsLine(const PictureDetails& details);

// Gathers the details of the file at `path`. The resolution comes from the picture's header alone, so
// a large photo is never decoded for its details. A missing or unreadable file still gives details:
// 0*0, size 0, no creation time.
PictureDetails readPictureDetails(const QString& path, qsizetype position, qsizetype count,
                                  const QLocale& locale = QLocale::system());

// The line to put into the status text when item `itemIndex` of the shown list is selected (position
// itemIndex + 1 of shownList.size()). An index outside the list gives the empty text.
QString pictureDetailsLineForItem(const QStringList& shownList, qsizetype itemIndex,
                                  const QLocale& locale = QLocale::system());

}  // namespace pimrose
