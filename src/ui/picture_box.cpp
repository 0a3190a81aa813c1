#include "ui/picture_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace pimrose::ui {

PictureBox::PictureBox(const ControlDefinition& definition, QWidget* parent) : Control(definition, parent) {
  if (definition.props.image.isEmpty()) return;
  setImage(QImage(definition.props.image));
  // Artwork drawn at twice the size sits beside the plain file as name@2x.png; screens with more
  // than one device pixel per layout pixel draw from it.
  QString twice = definition.props.image;
  twice.insert(twice.lastIndexOf(u'.'), QStringLiteral("@2x"));
  twiceImage_ = QImage(twice);
}

void PictureBox::setImageData(const QByteArray& bytes) {
  bytes_ = bytes;
  image_ = bytes.isEmpty() ? QImage() : QImage::fromData(bytes);
  twiceImage_ = QImage();
  scaled_ = QPixmap();
  update();
}

void PictureBox::setImage(const QImage& image) {
  bytes_.clear();
  image_ = image;
  twiceImage_ = QImage();
  scaled_ = QPixmap();
  update();
}

// The picture's place: the table's fixed size at the top centre, else the largest rectangle of
// the picture's proportions that fits the box, centred.
QRect PictureBox::pictureRect() const {
  const QSize fixed = definition().props.imageSize;
  if (fixed.isValid()) return {QPoint((width() - fixed.width()) / 2, 0), fixed};
  const QSize size = image_.size().scaled(this->size(), Qt::KeepAspectRatio);
  return {QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size};
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintSurface(painter, definition().props.surface);
  if (image_.isNull()) return;
  const QRect target = pictureRect();
  if (target.isEmpty()) return;
  if (scaled_.size() != target.size() * devicePixelRatio()) {
    const QImage& source = devicePixelRatio() > 1 && !twiceImage_.isNull() ? twiceImage_ : image_;
    scaled_ = QPixmap::fromImage(
        source.scaled(target.size() * devicePixelRatio(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    scaled_.setDevicePixelRatio(devicePixelRatio());
  }
  painter.drawPixmap(target.topLeft(), scaled_);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    Q_EMIT leftPressed();
  else if (event->button() == Qt::RightButton)
    Q_EMIT rightPressed();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Q_EMIT sizeToggleGesture();
}

void PictureBox::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta != 0) Q_EMIT wheelStep(delta);
}

}  // namespace pimrose::ui
