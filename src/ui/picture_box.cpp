#include "ui/picture_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "ui/image_bytes.h"

namespace pimrose::ui {

PictureBox::PictureBox(const ControlDefinition& definition, QWidget* parent) : Control(definition, parent) {
  pendingImage_ = definition.props.image;
  if (pendingImage_.isEmpty()) return;
  // Artwork drawn at twice the size sits beside the plain file as name@2x.png; screens with more
  // than one device pixel per layout pixel draw from it.
  twicePath_ = pendingImage_;
  twicePath_.insert(twicePath_.lastIndexOf(u'.'), QStringLiteral("@2x"));
}

const QImage& PictureBox::image() const {
  if (!pendingImage_.isEmpty()) {
    image_ = decodeImageFile(pendingImage_);
    pendingImage_.clear();
  }
  return image_;
}

const QImage& PictureBox::twiceImage() const {
  if (!twicePath_.isEmpty()) {
    twiceImage_ = decodeImageFile(twicePath_);
    twicePath_.clear();
  }
  return twiceImage_;
}

void PictureBox::setImageData(const QByteArray& bytes) {
  pendingImage_.clear();
  bytes_ = bytes;
  image_ = decodeImageBytes(bytes);
  twicePath_.clear();
  twiceImage_ = QImage();
  scaled_ = QPixmap();
  update();
}

void PictureBox::setImage(const QImage& image) {
  pendingImage_.clear();
  bytes_.clear();
  image_ = image;
  twicePath_.clear();
  twiceImage_ = QImage();
  scaled_ = QPixmap();
  update();
}

// The picture's place: the table's fixed size at the top centre, else the largest rectangle of
// the picture's proportions that fits the box, centred.
QRect PictureBox::pictureRect() const {
  const QSize fixed = definition().props.imageSize;
  if (fixed.isValid()) return {QPoint((width() - fixed.width()) / 2, 0), fixed};
  const QSize size = image().size().scaled(this->size(), Qt::KeepAspectRatio);
  return {QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size};
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintSurface(painter, definition().props.surface);
  if (image().isNull()) return;
  const QRect target = pictureRect();
  if (target.isEmpty()) return;
  if (scaled_.size() != target.size() * devicePixelRatio()) {
    const QImage& source = devicePixelRatio() > 1 && !twiceImage().isNull() ? twiceImage() : image();
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
