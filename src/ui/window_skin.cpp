#include "ui/window_skin.h"

#include "ui/image_bytes.h"

namespace pimrose::ui {

WindowSkin::WindowSkin(const ControlDefinition& definition, QWidget* parent) : Control(definition, parent) {}

void WindowSkin::setIconImage(const QByteArray& bytes) {
  setIcon(decodeImageBytes(bytes));
}

void WindowSkin::setIcon(const QImage& icon) {
  setCaptionIcon(icon);
  if (!icon_.isNull() && isWindowFrame()) window()->setWindowIcon(QPixmap::fromImage(icon_));
}

void WindowSkin::setCaptionIcon(const QImage& icon) {
  icon_ = icon;
  refreshWindow();
}

void WindowSkin::setTitle(const QString& title) {
  title_ = title;
  refreshWindow();
}

void WindowSkin::setSkinColour(QColor colour) {
  skinColour_ = colour;
  refreshWindow();
}

void WindowSkin::setSecondSkinImage(const QByteArray& bytes) {
  secondSkinImage_ = bytes;
}

void WindowSkin::refreshWindow() {
  if (isWindowFrame())
    window()->update();
  else
    update();
}

}  // namespace pimrose::ui
