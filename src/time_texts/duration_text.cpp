#include "time_texts/duration_text.h"

#include <array>

namespace pimrose {

QString ZeroPad(const QString& text, int width) {
  return text.rightJustified(width, u'0');
}

QString DurationText(qint32 seconds, const QString& pattern, bool zeroPad) {
  QString text = pattern.isEmpty() ? QStringLiteral("d天h小时m分s秒") : pattern;
  // Integer division truncates toward zero and the remainder keeps the dividend's sign, as the
  // values of a negative count should.
  const qint64 total = seconds;
  const std::array<std::pair<char16_t, qint64>, 4> values = {{
      {u'd', total / 86400},
      {u'h', total % 86400 / 3600},
      {u'm', total % 86400 % 3600 / 60},
      {u's', total % 86400 % 3600 % 60},
  }};
  for (const auto& [letter, value] : values) {
    const qsizetype at = text.lastIndexOf(QChar(letter));
    if (at < 0) continue;
    const QString digits = QString::number(value);
    text.replace(at, 1, zeroPad ? ZeroPad(digits, 2) : digits);
  }
  return text;
}

}  // namespace pimrose
