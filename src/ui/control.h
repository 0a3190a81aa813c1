#pragma once

#include <QByteArray>
#include <QPoint>
#include <QWidget>

#include "ui/skin.h"
#include "ui/window_definition.h"

class QPainter;

namespace pimrose::ui {

class Window;

// Base of every visible engine control: a child widget named and classed as its table row says.
// Geometry is the widget's own (x/y/width/height, relative to the parent's client area).
class Control : public QWidget {
  Q_OBJECT

 public:
  Control(const ControlDefinition& definition, QWidget* parent);

  const QString& name() const { return definition_.name; }
  ControlClass controlClass() const { return definition_.cls; }
  const ControlDefinition& definition() const { return definition_; }

  // The window the control belongs to (nullptr while detached) and its skin colours.
  Window* ownerWindow() const;
  const SkinColours& colours() const;

  // The widget that child controls of this control are placed in, and its size.
  virtual QWidget* childHost(int page);
  virtual QSize clientSize() const { return size(); }

  // Shown by its own flag, whatever its parents (the engine's "visible" property).
  bool shown() const { return !isHidden(); }
  // Whether the pointer is over the control now.
  bool hovered() const { return hovered_; }

  // The vertical position alone, as animations move it.
  void setTop(int y) { move(x(), y); }
  int top() const { return y(); }

  // Changes are batched while locked; the unlock that ends the batch repaints once. Nested.
  void lockUpdate();
  void unlockUpdate();
  bool updatesLocked() const { return lockDepth_ > 0; }

  // 0 = invisible, 255 = opaque.
  void setTransparency(int alpha);
  int transparency() const { return alpha_; }

  void takeFocus();

  // Skin image bytes as the program hands them over; the engine draws its own artwork, so this
  // is kept for reading back, and a change repaints.
  void setSkinImage(const QByteArray& bytes);
  QByteArray skinImage() const { return skinImage_; }

  // Moves the control with the pointer until the button is released (drag inside the parent).
  void startMove();

  // Called by the window when its skin changes.
  virtual void skinChanged();

 Q_SIGNALS:
  void pointerInside(bool inside);

 protected:
  void paintSurface(QPainter& painter, Surface surface) const;
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void setHovered(bool hovered);
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  ControlDefinition definition_;
  QByteArray skinImage_;
  int lockDepth_ = 0;
  int alpha_ = 255;
  bool hovered_ = false;
  bool moving_ = false;
  QPoint moveOffset_;
};

}  // namespace pimrose::ui
