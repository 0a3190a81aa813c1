// The settings file's value texts: any text decodes calmly, and what is encoded reads back.
#include <QString>

#include "fuzz_input.h"
#include "settings/settings_codecs.h"

namespace {

void check(bool condition) {
  if (!condition) __builtin_trap();
}

// Line breaks as an edit box gets them back: every CR, LF or CR LF is one CR LF.
QString withWindowsLineBreaks(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

// A drop-down title or current text loses its line breaks: each becomes a space.
QString oneLine(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  return text.replace(u'\r', u' ').replace(u'\n', u' ');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(pimrose::fuzz::bytesOf(data, size));
  pimrose::decodeCheckState(text);
  pimrose::decodeEditText(text);
  pimrose::decodeDropDown(text);
  if (text.isEmpty()) return 0;

  check(pimrose::decodeEditText(pimrose::encodeEditText(text)) == withWindowsLineBreaks(text));

  // The same text cut into items at \x01: titles with numbers, the last piece the current text.
  pimrose::DropDownState state;
  const QStringList pieces = text.split(u'\x01');
  for (qsizetype i = 0; i + 1 < pieces.size(); ++i) state.items.append({oneLine(pieces[i]), int(i * 7 - 3)});
  state.currentIndex = int(pieces.size()) - 2;
  state.currentText = oneLine(pieces.last());
  check(pimrose::decodeDropDown(pimrose::encodeDropDown(state)) == state);
  return 0;
}
