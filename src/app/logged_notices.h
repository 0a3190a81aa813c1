#pragma once

#include "app/notice_sink.h"

namespace pimrose {

// Command results written to the program's log (pimrose.app) when no notice panel is given.
class LoggedNotices : public NoticeSink {
 public:
  void ShowNotice(const QString& text, const QString& kind) override;
};

}  // namespace pimrose
