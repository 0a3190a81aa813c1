#include "ui/combo_box.h"

#include <algorithm>

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

ComboBox::ComboBox(const ControlDefinition& definition, QWidget* parent) : Control(definition, parent) {
  for (int i = 0; i < definition.props.items.size(); ++i) items_.append({definition.props.items[i], i});
  // As a Qt box selects the first item put into it.
  if (!items_.isEmpty()) current_ = 0;
}

// The Qt box takes the items and selection kept so far, and this control's place in the focus chain
// (a widget made later would otherwise come last in it).
void ComboBox::build() {
  combo_ = new ChevronComboBox(this);
  for (const Item& item : items_) combo_->addItem(item.title, item.value);
  combo_->setCurrentIndex(current_);
  items_ = {};
  combo_->setFont(font());
  combo_->setGeometry(rect().adjusted(0, 2, 0, -2));
  combo_->setCursor(Qt::PointingHandCursor);
  const Qt::FocusPolicy policy = focusPolicy();
  setFocusPolicy(Qt::StrongFocus);
  QWidget::setTabOrder(this, combo_);
  setFocusPolicy(policy);
  setFocusProxy(combo_);
  connect(combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (settingFromCode_) return;
    Q_EMIT currentIndexChanged(index);
    qCDebug(lcUi).noquote() << "drop-down" << name() << "item" << index;
  });
  skinChanged();
  combo_->show();
}

void ComboBox::showEvent(QShowEvent* event) {
  if (!combo_) build();
  Control::showEvent(event);
}

int ComboBox::insertItem(const QString& title, int value, int at) {
  const int count = itemCount();
  const int index = (at < 0 || at > count) ? count : at;
  if (!combo_) {
    items_.insert(index, {title, value});
    // The selection stays on its item; the first item put into an empty list is selected.
    if (current_ >= index)
      ++current_;
    else if (count == 0)
      current_ = 0;
    return index;
  }
  settingFromCode_ = true;
  combo_->insertItem(index, title, value);
  settingFromCode_ = false;
  return index;
}

void ComboBox::deleteItem(int index) {
  if (index < 0 || index >= itemCount()) return;
  if (!combo_) {
    items_.remove(index);
    // Removing the selected item selects the one that took its place (or the new last one).
    if (index < current_)
      --current_;
    else if (index == current_)
      current_ = items_.isEmpty() ? -1 : std::min(index, int(items_.size()) - 1);
    return;
  }
  settingFromCode_ = true;
  combo_->removeItem(index);
  settingFromCode_ = false;
}

void ComboBox::clear() {
  if (!combo_) {
    items_.clear();
    current_ = -1;
    return;
  }
  settingFromCode_ = true;
  combo_->clear();
  settingFromCode_ = false;
}

int ComboBox::itemCount() const {
  return combo_ ? combo_->count() : int(items_.size());
}

QString ComboBox::itemTitle(int index) const {
  if (combo_) return combo_->itemText(index);
  return index >= 0 && index < items_.size() ? items_[index].title : QString();
}

int ComboBox::itemValue(int index) const {
  if (combo_) return combo_->itemData(index).toInt();
  return index >= 0 && index < items_.size() ? items_[index].value : 0;
}

void ComboBox::setCurrentIndex(int index) {
  const int chosen = index >= 0 && index < itemCount() ? index : -1;
  if (!combo_) {
    current_ = chosen;
    return;
  }
  settingFromCode_ = true;
  combo_->setCurrentIndex(chosen);
  settingFromCode_ = false;
}

int ComboBox::currentIndex() const {
  return combo_ ? combo_->currentIndex() : current_;
}

void ComboBox::setCurrentText(const QString& title) {
  for (int i = 0; i < itemCount(); ++i) {
    if (itemTitle(i) == title) {
      setCurrentIndex(i);
      return;
    }
  }
}

QString ComboBox::currentText() const {
  return itemTitle(currentIndex());
}

void ComboBox::setTextColour(QColor colour) {
  textColour_ = colour;
  skinChanged();
}

void ComboBox::resizeEvent(QResizeEvent* event) {
  Control::resizeEvent(event);
  if (combo_) combo_->setGeometry(rect().adjusted(0, 2, 0, -2));
}

void ComboBox::skinChanged() {
  if (!combo_) return;  // build() dresses the box
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
