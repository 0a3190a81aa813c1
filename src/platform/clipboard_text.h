#pragma once

#include <QByteArray>

namespace pimrose {

// Puts a wide text (UTF-16LE bytes, normally ending in a zero code unit) on the clipboard as plain
// text, read up to its first zero code unit. Needs a QGuiApplication; without one nothing happens.
// Call it on the UI thread.
void SetClipboardWideText(const QByteArray& wide);

}  // namespace pimrose
