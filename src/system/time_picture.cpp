#include "system/time_picture.h"

#include <algorithm>
#include <vector>

namespace pimrose {
namespace {

// A run of one field letter, or literal text (quoted text keeps its quotes).
struct Piece {
  QString text;
  bool field = false;
};

bool isFieldLetter(QChar c) {
  return QStringLiteral("hHmsztAaP").contains(c);
}

std::vector<Piece> piecesOf(const QString& format) {
  std::vector<Piece> pieces;
  for (qsizetype i = 0; i < format.size();) {
    const QChar c = format[i];
    qsizetype end = i + 1;
    if (c == u'\'') {
      while (end < format.size() && format[end] != u'\'') ++end;
      end = std::min(end + 1, format.size());
    } else if (isFieldLetter(c)) {
      const bool marker = c == u'A' || c == u'a';  // "AP" and "ap" are one field
      while (end < format.size() && (format[end] == c || (marker && format[end].toUpper() == u'P'))) ++end;
    } else {
      while (end < format.size() && format[end] != u'\'' && !isFieldLetter(format[end])) ++end;
    }
    const bool field = c != u'\'' && isFieldLetter(c);
    if (!field && !pieces.empty() && !pieces.back().field)
      pieces.back().text += format.mid(i, end - i);
    else
      pieces.push_back({format.mid(i, end - i), field});
    i = end;
  }
  return pieces;
}

// What only stood around a field that is left out: the spaces and opening bracket before it (and the
// point before milliseconds), the closing bracket after it; a field at the very start takes the
// spaces after it too.
QString beforeDropped(QString text) {
  while (!text.isEmpty() && QStringLiteral(" \u00A0\u202F([.,").contains(text.back())) text.chop(1);
  return text;
}
QString afterDropped(QString text, bool atStart) {
  const QString edge = atStart ? QStringLiteral(" \u00A0\u202F)]") : QStringLiteral(")]");
  while (!text.isEmpty() && edge.contains(text.front())) text.remove(0, 1);
  return text;
}

}  // namespace

QString timePicture(const QString& format) {
  const std::vector<Piece> pieces = piecesOf(format);
  const bool twelveHour = std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) {
    return p.field && p.text.front().toUpper() == u'A';
  });
  QString picture;
  bool dropped = false;  // a field was left out just before
  for (const Piece& piece : pieces) {
    const QChar letter = piece.field ? piece.text.front() : QChar();
    if (letter == u't' || letter == u'z') {
      picture = beforeDropped(picture);
      dropped = true;
      continue;
    }
    if (!piece.field)
      picture += dropped ? afterDropped(piece.text, picture.isEmpty()) : piece.text;
    else if (letter.toUpper() == u'A')
      picture += QStringLiteral("tt");
    else if (letter == u'h' && !twelveHour)
      picture += piece.text.toUpper();  // the format's h counts 0 to 23 without a marker
    else
      picture += piece.text;
    dropped = false;
  }
  return picture;
}

}  // namespace pimrose
