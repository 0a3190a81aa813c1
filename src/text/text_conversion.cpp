#include "text/text_conversion.h"

#include <QByteArrayView>
#include <QChar>
#include <QStringView>

#include "text/code_page_codec.h"

namespace pimrose {
namespace {

QByteArrayView upToZeroByte(const QByteArray& bytes) {
  const qsizetype end = bytes.indexOf('\0');
  return QByteArrayView(bytes).first(end < 0 ? bytes.size() : end);
}

// The code units of a wide text up to its first zero unit. An odd last byte is read as a unit whose
// high byte is zero, as the terminator appended to a copy would make it.
QString wideUnits(const QByteArray& wide) {
  QString units;
  units.reserve(wide.size() / 2 + 1);
  for (qsizetype i = 0; i < wide.size(); i += 2) {
    const uchar low = uchar(wide[i]);
    const uchar high = i + 1 < wide.size() ? uchar(wide[i + 1]) : 0;
    const char16_t unit = char16_t(low | (high << 8));
    if (unit == 0) break;
    units.append(QChar(unit));
  }
  return units;
}

QByteArray withTerminator(const QString& text) {
  QByteArray wide(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  wide.append(2, '\0');
  return wide;
}

bool hasNonSpacingMark(const QString& text) {
  for (const QChar c : text)
    if (c.category() == QChar::Mark_NonSpacing) return true;
  return false;
}

}  // namespace

QByteArray AnsiToWide(const QByteArray& text) {
  return withTerminator(fromGbk(text));
}

QByteArray WideToCodePage(const QByteArray& wide, int codePage) {
  const QString units = wideUnits(wide);
  if (units.isEmpty()) return {};
  return encodeCodePage(units, codePage);
}

QByteArray WideToUtf8(const QByteArray& wide) {
  return WideToCodePage(wide, kUtf8CodePage);
}

QByteArray CodePageToWide(const QByteArray& bytes, int codePage) {
  const QByteArrayView input = upToZeroByte(bytes);
  if (input.isEmpty()) return {};
  bool ok = false;
  const QString text = decodeCodePage(input, codePage, &ok);
  return ok ? withTerminator(text) : QByteArray();
}

QByteArray Utf8ToWide(const QByteArray& bytes) {
  return CodePageToWide(bytes, kUtf8CodePage);
}

QByteArray WideConcat(const QList<QByteArray>& parts) {
  QString joined;
  for (const QByteArray& part : parts) joined += wideUnits(part);
  return withTerminator(joined);
}

QByteArray WideToGbkText(const QByteArray& wide) {
  if (wide.size() < 3) return {};
  QString units = wideUnits(wide);
  // Only text with combining marks is composed: full normalisation would also fold compatibility
  // ideographs that code page 936 holds as they are.
  if (hasNonSpacingMark(units)) units = units.normalized(QString::NormalizationForm_C);
  return encodeCodePage(units, kGbkCodePage);
}

QByteArray WideToAnsiText(const QByteArray& wide) {
  return encodeCodePage(wideUnits(wide), kAnsiCodePage);
}

QByteArray toWide(const QString& text) {
  return withTerminator(text);
}

QString fromWide(const QByteArray& wide) {
  return wideUnits(wide);
}

QByteArray toGbk(const QString& text) {
  return encodeCodePage(text, kGbkCodePage);
}

QString fromGbk(const QByteArray& text) {
  return decodeCodePage(upToZeroByte(text), kGbkCodePage);
}

}  // namespace pimrose
