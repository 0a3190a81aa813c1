#pragma once

#include <QByteArray>
#include <QImage>
#include <QLatin1StringView>

namespace pimrose::ui {

// Decodes the program's own artwork (PNG, JPEG, GIF or BMP bytes). The format is read from the
// leading bytes and named to Qt, because an unnamed format makes Qt load and ask every image plugin
// installed on the system before its own decoders: tens of milliseconds of start-up for one icon.
// Anything else is left to Qt's detection; bytes that decode to nothing give a null image.
QImage decodeImageBytes(const QByteArray& bytes);

// The program's logo among the resources.
inline constexpr QLatin1StringView kLogo(":/pimrose/logo.png");

// The same for artwork in a file or resource (":/..."), read whole. Resources are decoded once per
// run and shared.
QImage decodeImageFile(const QString& path);

}  // namespace pimrose::ui
