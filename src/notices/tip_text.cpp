#include "notices/tip_text.h"

#include "text/gbk_bytes.h"

namespace pimrose {

QString tipText(const QString& text) {
  if (gbkByteLength(text) <= kTipMaxBytes) return text;
  return gbkPrefix(text, kTipMaxBytes) + QStringLiteral("...");
}

}  // namespace pimrose
