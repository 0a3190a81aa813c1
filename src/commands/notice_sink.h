#pragma once

#include <QString>

namespace pimrose {

// The one way a command reports its result to the user: a short text that slides in near the top of
// the main window and goes again by itself. The kind chooses the icon ("完成", "失败"); any other kind
// shows the text alone.
class NoticeSink {
 public:
  virtual ~NoticeSink() = default;
  virtual void ShowNotice(const QString& text, const QString& kind) = 0;
};

inline QString noticeKindDone() {
  return QStringLiteral("完成");
}
inline QString noticeKindFailed() {
  return QStringLiteral("失败");
}

}  // namespace pimrose
