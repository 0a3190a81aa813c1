#pragma once

#include <functional>

#include <QString>
#include <QStringList>
#include <QStringView>

namespace pimrose {

// The greetings of which one becomes the status text at start-up: short one-line remarks about
// pictures and looking at them, joined by CR LF (no CR LF at the end, no empty line).
QStringView OpeningLines();

// The lines, split at every CR LF.
QStringList openingLineList();

// Answers a line number from 1 to lineCount, both ends included.
using LineDraw = std::function<qsizetype(qsizetype lineCount)>;

// One whole line, chosen by `draw`; a number outside the range is taken as the nearest end.
QString pickOpeningLine(const LineDraw& draw);
// One whole line, drawn uniformly at random.
QString pickOpeningLine();

}  // namespace pimrose
