#include "ui/edit_box.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "ui/key_codes.h"

namespace pimrose::ui {

EditBox::EditBox(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent), edit_(new QLineEdit(this)) {
  const ControlProps& props = definition.props;
  edit_->setText(props.text);
  edit_->setReadOnly(props.readOnly);
  // A read-only line (the status text) is selected with the mouse for copying, but focus handed on by
  // the keyboard or by a hidden page must not land there and select it all.
  if (props.readOnly) edit_->setFocusPolicy(Qt::ClickFocus);
  edit_->setPlaceholderText(props.placeholder);
  edit_->setProperty("plain", props.readOnly);
  edit_->setFrame(!props.readOnly);
  edit_->setFont(font());
  if (props.centred) edit_->setAlignment(Qt::AlignCenter);
  edit_->setGeometry(rect());
  edit_->installEventFilter(this);
  setFocusProxy(edit_);
  connect(edit_, &QLineEdit::textEdited, this, &EditBox::textEdited);
}

void EditBox::setText(const QString& text) {
  edit_->setText(text);
  edit_->setCursorPosition(0);
}

QString EditBox::text() const {
  return edit_->text();
}

void EditBox::setTextColour(QColor colour) {
  textColour_ = colour;
  skinChanged();
}

bool EditBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (!key->isAutoRepeat() || event->type() == QEvent::KeyPress) {
      const int message = event->type() == QEvent::KeyPress ? kKeyDownMessage : kKeyUpMessage;
      Q_EMIT keyMessage(message, virtualKeyCode(key->key()));
      if (message == kKeyUpMessage) Q_EMIT keyReleased(static_cast<Qt::Key>(key->key()));
    }
  }
  return Control::eventFilter(watched, event);
}

void EditBox::resizeEvent(QResizeEvent* event) {
  Control::resizeEvent(event);
  edit_->setGeometry(rect());
}

// The window's style sheet sets the text colour, so a colour of the box's own must come as a
// style sheet too (a palette would be overridden).
// Setting a sheet restyles the box even when it is the same, so an unchanged one is not set again.
void EditBox::skinChanged() {
  const QString sheet =
      textColour_.isValid()
          ? QStringLiteral("QLineEdit { color: %1; }").arg(textColour_.name(QColor::HexArgb))
          : QString();
  if (sheet != edit_->styleSheet()) edit_->setStyleSheet(sheet);
}

}  // namespace pimrose::ui
