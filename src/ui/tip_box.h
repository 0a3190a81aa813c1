#pragma once

#include <QPoint>
#include <QString>

namespace pimrose::ui {

// A transient tip balloon with a text near a screen position; one at a time.
void popUpTip(const QString& text, QPoint globalPos);
void closeTip();
// The text of the shown tip; empty when none is shown.
QString shownTip();

}  // namespace pimrose::ui
