#include "ui/fonts.h"

#include <QFontMetrics>
#include <QStringList>

namespace pimrose::ui {
namespace {

constexpr int kDefaultPixels = 13;

QStringList cjkFaces() {
  return {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Sans")};
}

}  // namespace

void installFontSubstitutions() {
  for (const char* face : {"黑体", "微软雅黑", "宋体", "SimHei", "Microsoft YaHei", "SimSun"})
    QFont::insertSubstitutions(QString::fromUtf8(face), cjkFaces());
}

QFont controlFont(const ControlProps& props) {
  QFont font(props.font.isEmpty() ? cjkFaces().constFirst() : props.font);
  font.setPixelSize(props.fontPixels > 0 ? props.fontPixels : kDefaultPixels);
  return font;
}

QSize measureText(const QString& text, const QFont& font, int maxWidth) {
  const QFontMetrics metrics(font);
  if (maxWidth <= 0) return metrics.size(Qt::TextExpandTabs, text);
  const QRect bounds =
      metrics.boundingRect(QRect(0, 0, maxWidth, 1 << 20), Qt::TextWordWrap | Qt::TextWrapAnywhere, text);
  return bounds.size();
}

}  // namespace pimrose::ui
