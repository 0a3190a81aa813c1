#pragma once

#include <QByteArray>

namespace pimrose {

// The program's small message icons, drawn once and handed over as PNG bytes like any other picture.
enum class MessageIcon { Done, Failed, Prompt };

QByteArray messageIconPng(MessageIcon icon);

}  // namespace pimrose
