#include "browsing/picture_details.h"

#include <algorithm>

#include "codecs/picture_size.h"
#include "platform/file_size.h"
#include "platform/file_times.h"
#include "text/byte_count_text.h"

namespace pimrose {

QString PictureDetailsLine(const PictureDetails& details) {
  const int width = std::max(0, details.resolution.width());
  const int height = std::max(0, details.resolution.height());
  return QStringLiteral("位置：") + QString::number(details.position) + u'/' +
         QString::number(details.count) + QStringLiteral("   分辨率：") + QString::number(width) + u'*' +
         QString::number(height) + QStringLiteral("   大小：") + ByteCountText(details.size) +
         QStringLiteral("   创建时间：") + details.creationTime + QStringLiteral("   路径：") + details.path;
}

PictureDetails readPictureDetails(const QString& path, qsizetype position, qsizetype count,
                                  const QLocale& locale) {
  PictureDetails details;
  details.position = position;
  details.count = count;
  details.resolution = pictureSize(path);
  details.size = FileSizeOf(path);
  QString lastWrite;
  QString lastAccess;
  ReadFileTimes(path, details.creationTime, lastWrite, lastAccess, locale);
  details.path = path;
  return details;
}

QString pictureDetailsLineForItem(const QStringList& shownList, qsizetype itemIndex, const QLocale& locale) {
  if (itemIndex < 0 || itemIndex >= shownList.size()) return {};
  return PictureDetailsLine(
      readPictureDetails(shownList[itemIndex], itemIndex + 1, shownList.size(), locale));
}

}  // namespace pimrose
