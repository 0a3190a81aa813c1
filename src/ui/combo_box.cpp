#include "ui/combo_box.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/ui_log.h"

namespace pimrose::ui {
namespace {

// Draws its own chevron: the skin's style sheet removes the platform arrow.
class ChevronComboBox : public QComboBox {
 public:
  using QComboBox::QComboBox;
  QColor chevron;

 protected:
  void showPopup() override {
    listPainted_ = false;
    if (!watchingList_) {
      view()->viewport()->installEventFilter(this);
      watchingList_ = true;
    }
    QComboBox::showPopup();
    qCDebug(lcUi).noquote() << "drop-down" << parentWidget()->objectName() << "opened";
  }
  // The list's first paint comes once its window is on screen (on Wayland, once the compositor has
  // placed it): a script that clicks an item waits for this line.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !listPainted_) {
      listPainted_ = true;
      qCDebug(lcUi).noquote() << "drop-down" << parentWidget()->objectName() << "list painted";
    }
    return QComboBox::eventFilter(watched, event);
  }
  void paintEvent(QPaintEvent* event) override {
    QComboBox::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(chevron, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF c(width() - 12.0, height() / 2.0);
    QPainterPath path;
    path.moveTo(c + QPointF(-4, -2));
    path.lineTo(c + QPointF(0, 2));
    path.lineTo(c + QPointF(4, -2));
    painter.drawPath(path);
  }

 private:
  bool watchingList_ = false;
  bool listPainted_ = false;
};

}  // namespace

ComboBox::ComboBox(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent), combo_(new ChevronComboBox(this)) {
  for (int i = 0; i < definition.props.items.size(); ++i) combo_->addItem(definition.props.items[i], i);
  combo_->setFont(font());
  combo_->setGeometry(rect().adjusted(0, 2, 0, -2));
  combo_->setCursor(Qt::PointingHandCursor);
  setFocusProxy(combo_);
  connect(combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (settingFromCode_) return;
    Q_EMIT currentIndexChanged(index);
    qCDebug(lcUi).noquote() << "drop-down" << name() << "item" << index;
  });
}

int ComboBox::insertItem(const QString& title, int value, int at) {
  const int index = (at < 0 || at > combo_->count()) ? combo_->count() : at;
  settingFromCode_ = true;
  combo_->insertItem(index, title, value);
  settingFromCode_ = false;
  return index;
}

void ComboBox::deleteItem(int index) {
  if (index < 0 || index >= combo_->count()) return;
  settingFromCode_ = true;
  combo_->removeItem(index);
  settingFromCode_ = false;
}

void ComboBox::clear() {
  settingFromCode_ = true;
  combo_->clear();
  settingFromCode_ = false;
}

int ComboBox::itemCount() const {
  return combo_->count();
}
QString ComboBox::itemTitle(int index) const {
  return combo_->itemText(index);
}
int ComboBox::itemValue(int index) const {
  return combo_->itemData(index).toInt();
}

void ComboBox::setCurrentIndex(int index) {
  settingFromCode_ = true;
  combo_->setCurrentIndex(index >= 0 && index < combo_->count() ? index : -1);
  settingFromCode_ = false;
}

int ComboBox::currentIndex() const {
  return combo_->currentIndex();
}

void ComboBox::setCurrentText(const QString& title) {
  const int index = combo_->findText(title);
  if (index >= 0) setCurrentIndex(index);
}

QString ComboBox::currentText() const {
  return combo_->currentText();
}

void ComboBox::setTextColour(QColor colour) {
  textColour_ = colour;
  skinChanged();
}

void ComboBox::resizeEvent(QResizeEvent* event) {
  Control::resizeEvent(event);
  combo_->setGeometry(rect().adjusted(0, 2, 0, -2));
}

void ComboBox::skinChanged() {
  static_cast<ChevronComboBox*>(combo_)->chevron = colours().mutedText;
  // Setting a sheet restyles the box even when it is the same, so an unchanged one is not set again.
  const QString sheet =
      textColour_.isValid()
          ? QStringLiteral("QComboBox { color: %1; }").arg(textColour_.name(QColor::HexArgb))
          : QString();
  if (sheet != combo_->styleSheet()) combo_->setStyleSheet(sheet);
  combo_->update();  // the chevron is drawn in the skin's colour
}

}  // namespace pimrose::ui
