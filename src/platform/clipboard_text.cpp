#include "platform/clipboard_text.h"

#include <QClipboard>
#include <QGuiApplication>

#include "text/text_conversion.h"

namespace pimrose {

void SetClipboardWideText(const QByteArray& wide) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(fromWide(wide));
}

}  // namespace pimrose
