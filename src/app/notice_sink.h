#pragma once

#include <QString>

namespace pimrose {

// Where a command reports its result: a sliding notice with a text and a kind ("完成", "失败", ...).
class NoticeSink {
 public:
  virtual ~NoticeSink() = default;
  virtual void ShowNotice(const QString& text, const QString& kind) = 0;
};

}  // namespace pimrose
