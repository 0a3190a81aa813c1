#include "settings/settings_codecs.h"

#include <QStringView>

namespace pimrose {
namespace {

const QString kTrue = QStringLiteral("真");
const QString kFalse = QStringLiteral("假");
const QString kLineBreak = QStringLiteral("><br><");
const QString kQuote = QStringLiteral("#引号");
const QString kItemEnd = QStringLiteral("<||>");
const QString kValueMark = QStringLiteral("<|>");
constexpr QChar kSeparator = u'"';

// A '>' before '<', a '#' before '引' or a '<' before '|' could begin a marker ("><br><", "#引号",
// "<|>", "<||>") with the characters after it; a quote in between keeps it plain text.
bool needsSeparator(QStringView text, qsizetype at) {
  if (at + 1 >= text.size()) return false;
  const QChar c = text[at], next = text[at + 1];
  return (c == u'>' && next == u'<') || (c == u'#' && next == u'引') || (c == u'<' && next == u'|');
}

QString escapeText(QStringView text, const QString& lineBreak) {
  QString out;
  out.reserve(text.size() + 8);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out += lineBreak;
    } else if (c == u'"') {
      out += kQuote;
    } else {
      out += c;
      if (needsSeparator(text, i)) out += kSeparator;
    }
  }
  return out;
}

QString unescapeText(QStringView value) {
  QString out;
  out.reserve(value.size());
  for (qsizetype i = 0; i < value.size();) {
    if (value.sliced(i).startsWith(kLineBreak)) {
      out += QStringLiteral("\r\n");
      i += kLineBreak.size();
    } else if (value.sliced(i).startsWith(kQuote)) {
      out += u'"';
      i += kQuote.size();
    } else {
      if (value[i] != kSeparator) out += value[i];
      ++i;
    }
  }
  return out;
}

// Left and right of the first "<|>"; without one, all of it is left.
std::pair<QString, QString> splitAtValueMark(const QString& piece) {
  const qsizetype at = piece.indexOf(kValueMark);
  if (at < 0) return {piece, QString()};
  return {piece.left(at), piece.mid(at + kValueMark.size())};
}

}  // namespace

QString encodeCheckState(bool checked) {
  return checked ? kTrue : kFalse;
}

std::optional<bool> decodeCheckState(const QString& value) {
  if (value.isEmpty()) return std::nullopt;
  return value != kFalse;
}

QString encodeEditText(const QString& text) {
  return escapeText(text, kLineBreak);
}

std::optional<QString> decodeEditText(const QString& value) {
  if (value.isEmpty()) return std::nullopt;
  return unescapeText(value);
}

QString encodeDropDown(const DropDownState& state) {
  QString out;
  for (const DropDownState::Item& item : state.items)
    out += escapeText(item.title, QStringLiteral(" ")) + kValueMark + QString::number(item.value) + kItemEnd;
  return out + QString::number(state.currentIndex) + kValueMark +
         escapeText(state.currentText, QStringLiteral(" "));
}

std::optional<DropDownState> decodeDropDown(const QString& value) {
  if (value.isEmpty()) return std::nullopt;
  const QStringList pieces = value.split(kItemEnd);
  DropDownState state;
  for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
    const auto [title, number] = splitAtValueMark(pieces[i]);
    state.items.append({unescapeText(title), number.toInt()});
  }
  const auto [index, text] = splitAtValueMark(pieces.last());
  state.currentIndex = index.toInt();
  state.currentText = unescapeText(text);
  return state;
}

}  // namespace pimrose
