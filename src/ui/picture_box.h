#pragma once

#include <QByteArray>
#include <QImage>
#include <QPixmap>

#include "ui/control.h"

namespace pimrose::ui {

// PictureBoxEx: a picture (kept in proportion, centred) on an optional skinned surface; also a
// holder of child controls.
class PictureBox : public Control {
  Q_OBJECT

 public:
  PictureBox(const ControlDefinition& definition, QWidget* parent);

  // The bytes of an image file (empty clears the picture; undecodable bytes show nothing but
  // are kept, as the program reads them back).
  void setImageData(const QByteArray& bytes);
  QByteArray imageData() const { return bytes_; }
  void setImage(const QImage& image);
  const QImage& image() const;

 Q_SIGNALS:
  void leftPressed();
  void rightPressed();
  void sizeToggleGesture();  // double-click
  void wheelStep(int delta);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  const QImage& twiceImage() const;
  QRect pictureRect() const;

  QByteArray bytes_;
  // The table's picture is decoded when first needed: most boxes sit on pages not shown at start.
  mutable QString pendingImage_;
  mutable QImage image_;
  // The same artwork drawn at twice the size, for high-density screens; also read when first needed.
  mutable QString twicePath_;
  mutable QImage twiceImage_;
  QPixmap scaled_;  // the picture at the size last drawn
};

}  // namespace pimrose::ui
