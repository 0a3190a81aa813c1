#pragma once

#include <QColor>
#include <QImage>

#include <functional>

#include "ui/caption_buttons.h"
#include "ui/control.h"

namespace pimrose::ui {

// The sizes the user may give a window; the program may set them when the window is about to be shown.
struct SizeLimits {
  QSize minimum;
  QSize maximum;
};

// WindowEx. As a window's `窗口EX1` it skins the whole window (caption strip with icon, title
// and caption buttons; the control itself stays invisible). Elsewhere it is a skinned panel.
class WindowSkin : public Control {
  Q_OBJECT

 public:
  WindowSkin(const ControlDefinition& definition, QWidget* parent);

  bool isWindowFrame() const { return definition().props.windowFrame; }

  // The window's icon picture (the bytes of an image file; undecodable bytes clear it).
  void setIconImage(const QByteArray& bytes);
  // The caption's icon and, for a frame skin, the window's icon for the window manager and task bar.
  void setIcon(const QImage& icon);
  // The caption's icon alone (the window's own icon can follow once the window is on screen).
  void setCaptionIcon(const QImage& icon);
  const QImage& icon() const { return icon_; }

  void setTitle(const QString& title);
  const QString& title() const { return title_; }

  void setSkinColour(QColor colour);
  QColor skinColour() const { return skinColour_; }
  void setSecondSkinImage(const QByteArray& bytes);
  QByteArray secondSkinImage() const { return secondSkinImage_; }

  // The program's size limits: the handler gets the window's own and answers the ones to use.
  using SizeLimitsHandler = std::function<SizeLimits(SizeLimits own)>;
  void setSizeLimitsHandler(SizeLimitsHandler handler) { sizeLimits_ = std::move(handler); }
  SizeLimits sizeLimits(SizeLimits own) const { return sizeLimits_ ? sizeLimits_(own) : own; }

 Q_SIGNALS:
  void captionButtonPressed(pimrose::ui::CaptionButton button);
  // A left click on the window's own background, at a point in window coordinates.
  void clickedAt(QPoint point);

 private:
  void refreshWindow();

  QImage icon_;
  QString title_;
  QColor skinColour_;
  QByteArray secondSkinImage_;
  SizeLimitsHandler sizeLimits_;
};

}  // namespace pimrose::ui
