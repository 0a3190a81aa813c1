#include "app/logged_notices.h"

#include "app/app_log.h"

namespace pimrose {

void LoggedNotices::ShowNotice(const QString& text, const QString& kind) {
  qCInfo(lcApp) << "notice" << kind << text;
}

}  // namespace pimrose
