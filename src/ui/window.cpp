#include "ui/window.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include "ui/caption_buttons.h"
#include "ui/control_factory.h"
#include "ui/fonts.h"
#include "ui/pending_move.h"
#include "ui/ui_log.h"
#include "ui/window_skin.h"

namespace pimrose::ui {

Window::Window(const WindowDefinition& definition) : definition_(definition) {
  installFontSubstitutions();
  setObjectName(definition_.name);
  setWindowFlag(Qt::FramelessWindowHint);
  setWindowTitle(definition_.caption);
  setGeometry(definition_.rect);
  setFont(controlFont({}));
  createControls();
  parentControls();
  if (skin_ && skin_->isWindowFrame()) {
    captionButtons_ = new CaptionButtons(this);
    connect(captionButtons_, &CaptionButtons::pressed, skin_, &WindowSkin::captionButtonPressed);
    captionButtons_->raise();
  }
  new PendingMove(this, this,
                  [this](QPoint at) { return skin_ && skin_->isWindowFrame() && at.y() < kCaptionHeight; });
  setSkinIndex(0);
}

Window::~Window() {
  Q_EMIT aboutToBeDestroyed();
}

QObject* Window::findControl(const QString& name) const {
  return byName_.value(name, nullptr);
}

void Window::missingControl(const QString& name, const char* className) {
  qFatal("ui: no control %s of class %s", qUtf8Printable(name), className);
}

void Window::createControls() {
  for (const ControlDefinition& row : definition_.controls) {
    QObject* object = createControl(row, this);
    byName_.insert(row.name, object);
    order_.push_back(object);
    if (row.name == QStringLiteral("窗口EX1")) skin_ = qobject_cast<WindowSkin*>(object);
  }
}

// A row may name a parent that comes later in the table, so every control exists before any is
// parented; parenting in table order keeps table order as the stacking order among siblings.
void Window::parentControls() {
  for (size_t i = 0; i < definition_.controls.size(); ++i) {
    const ControlDefinition& row = definition_.controls[i];
    auto* widget = qobject_cast<QWidget*>(order_[i]);
    if (!widget) continue;
    QWidget* host = hostFor(row);
    if (host != widget->parentWidget())
      widget->setParent(host);
    else
      widget->raise();
    widget->setGeometry(row.rect);
  }
  for (size_t i = 0; i < definition_.controls.size(); ++i) {
    if (auto* widget = qobject_cast<QWidget*>(order_[i]))
      widget->setVisible(!definition_.controls[i].props.hidden && !definition_.controls[i].props.windowFrame);
  }
}

QWidget* Window::hostFor(const ControlDefinition& row) const {
  if (row.parent.isEmpty()) return const_cast<Window*>(this);
  auto* parent = qobject_cast<Control*>(findControl(row.parent));
  if (!parent) {
    qCWarning(lcUi) << "control" << row.name << "names an unknown parent" << row.parent;
    return const_cast<Window*>(this);
  }
  return parent->childHost(row.props.page);
}

Control* Window::copyControl(const QString& name) {
  auto* original = qobject_cast<Control*>(findControl(name));
  if (!original) return nullptr;
  auto* copy = qobject_cast<Control*>(createControl(original->definition(), original->parentWidget()));
  if (!copy) return nullptr;
  copy->setGeometry(original->definition().rect);
  copy->setVisible(!original->definition().props.hidden);
  return copy;
}

// Restyling every control costs a full repolish of the window (tens of milliseconds for the main
// window), so the skin the window already wears is not applied again.
void Window::setSkinIndex(int index) {
  if (skinApplied_ && index == skinIndex_) return;
  skinApplied_ = true;
  skinIndex_ = index;
  setStyleSheet(skinStyleSheet(colours()));
  for (QObject* object : order_)
    if (auto* control = qobject_cast<Control*>(object)) control->skinChanged();
  if (captionButtons_) captionButtons_->update();
  update();
}

void Window::beginSystemMove() {
  if (QWindow* handle = windowHandle()) handle->startSystemMove();
}

void Window::beginSystemResize(Qt::Edges edges) {
  if (QWindow* handle = windowHandle()) handle->startSystemResize(edges);
}

QSize Window::clientSizeOf(const QString& controlName) const {
  auto* control = qobject_cast<Control*>(findControl(controlName));
  return control ? control->clientSize() : size();
}

// The covering control is placed first, so the rules of its children follow its new size.
void Window::applyAnchors() {
  if (covering_)
    covering_->setGeometry(QRect(covering_->parentWidget()->mapFrom(this, QPoint(0, 0)), size()));
  for (const Anchor& anchor : definition_.anchors) {
    auto* control = qobject_cast<Control*>(findControl(anchor.name));
    if (!control || control == covering_) continue;
    const QString& parentName = control->definition().parent;
    const QSize parentClient = parentName.isEmpty() ? size() : clientSizeOf(parentName);
    control->setGeometry(anchor.place(parentClient, control->geometry()));
  }
  if (captionButtons_) captionButtons_->placeIn(size());
}

void Window::setCoveringControl(Control* control) {
  covering_ = control;
  applyAnchors();
}

void Window::applySizeLimits() {
  SizeLimits limits{definition_.minimumSize, QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)};
  if (skin_) limits = skin_->sizeLimits(limits);
  if (limits.minimum.isValid()) setMinimumSize(limits.minimum);
  if (limits.maximum.isValid()) setMaximumSize(limits.maximum);
}

void Window::paintCaption(QPainter& painter) {
  const SkinColours& c = colours();
  painter.fillRect(0, 0, width(), kCaptionHeight, c.caption);
  painter.setPen(c.border);
  painter.drawLine(0, kCaptionHeight - 1, width(), kCaptionHeight - 1);
  const QString title = skin_->title().isEmpty() ? windowTitle() : skin_->title();
  const bool centred = definition_.anchors.size() > 0;  // windows with their own strip controls
  const QFontMetrics metrics(font());
  const int textWidth = metrics.horizontalAdvance(title);
  const int iconSize = 18;
  const int left = centred ? (width() - textWidth - iconSize - 8) / 2 : 10;
  const QImage& icon = skin_->icon();
  if (!icon.isNull())
    painter.drawImage(QRect(left, (kCaptionHeight - iconSize) / 2, iconSize, iconSize), icon);
  painter.setPen(c.text);
  painter.drawText(QRect(left + iconSize + 8, 0, textWidth + 4, kCaptionHeight), Qt::AlignVCenter, title);
}

void Window::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  // Only what is to be painted: a transparent child's repaint (a thumbnail arriving) paints the
  // window under it, and filling the whole window each time cost more than the thumbnail.
  painter.fillRect(event->rect(), colours().window);
  // The caption (its title laid out, its icon scaled) only when the repaint reaches it.
  if (skin_ && skin_->isWindowFrame() && event->region().intersects(QRect(0, 0, width(), kCaptionHeight)))
    paintCaption(painter);
  painter.setPen(colours().border);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Window::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  applyAnchors();
  Q_EMIT sizeChanged();
}

void Window::showEvent(QShowEvent* event) {
  applySizeLimits();
  QWidget::showEvent(event);
}

void Window::closeEvent(QCloseEvent* event) {
  if (!closeHandler_ || closeHandler_())
    event->accept();
  else
    event->ignore();
}

void Window::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::RightButton) {
    Q_EMIT rightPressed();
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  if (skin_) Q_EMIT skin_->clickedAt(at);
  Q_EMIT leftPressed();
}

void Window::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Q_EMIT doubleClicked();
}

std::unique_ptr<Window> loadWindow(const WindowDefinition& definition) {
  return std::make_unique<Window>(definition);
}

bool applySkin(Window& window, int index) {
  if (index < 0 || index >= kSkinCount) return false;
  window.setSkinIndex(index);
  return true;
}

}  // namespace pimrose::ui
