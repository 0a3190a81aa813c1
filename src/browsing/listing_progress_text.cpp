#include "browsing/listing_progress_text.h"

namespace pimrose {

QString listingProgressText(qsizetype found) {
  return QStringLiteral("正在搜索图片，已找到 %1 张……").arg(found);
}

}  // namespace pimrose
