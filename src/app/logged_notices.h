#pragma once

#include "app/notice_sink.h"

namespace pimrose {

// Notices written to the log (and so to the log window) while the sliding notice window is not
// part of the program; Program holds exactly one NoticeSink, so the window replaces this class alone.
class LoggedNotices : public NoticeSink {
 public:
  void ShowNotice(const QString& text, const QString& kind) override;
};

}  // namespace pimrose
