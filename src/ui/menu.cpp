#include "ui/menu.h"

#include <QAction>
#include <QEventLoop>
#include <QMenu>

#include "ui/skin.h"

namespace pimrose::ui {

Menu::Menu(int skinIndex, QObject* parent) : QObject(parent), menu_(new QMenu) {
  menu_->setStyleSheet(skinStyleSheet(skinColours(skinIndex)));
  menu_->setWindowFlag(Qt::NoDropShadowWindowHint, false);
  connect(menu_, &QMenu::triggered, this,
          [this](QAction* action) { Q_EMIT itemChosen(action->data().toInt()); });
}

Menu::~Menu() {
  delete menu_;
}

int Menu::insertItem(const QString& title, int width, int height, QColor textColour) {
  const int id = itemCount();
  QAction* action = menu_->addAction(title);
  action->setData(id);
  menu_->setMinimumWidth(std::max(menu_->minimumWidth(), width));
  if (textColour.isValid() || height > 0) {
    const QString colour =
        textColour.isValid() ? QStringLiteral("color: %1;").arg(textColour.name()) : QString();
    menu_->setStyleSheet(
        menu_->styleSheet() +
        QStringLiteral("QMenu::item { min-height: %1px; %2 }").arg(std::max(0, height - 8)).arg(colour));
  }
  return id;
}

int Menu::itemCount() const {
  return static_cast<int>(menu_->actions().size());
}

QString Menu::itemTitle(int id) const {
  const QList<QAction*> actions = menu_->actions();
  return id >= 0 && id < actions.size() ? actions[id]->text() : QString();
}

// Waits in a local event loop rather than QMenu::exec, so that a choice made through choose()
// counts like a click.
std::optional<int> Menu::popUp(QPoint globalPos) {
  chosen_.reset();
  waiting_ = true;
  QEventLoop loop;
  connect(menu_, &QMenu::aboutToHide, &loop, &QEventLoop::quit, Qt::QueuedConnection);
  menu_->popup(globalPos);
  loop.exec();
  waiting_ = false;
  return chosen_;
}

void Menu::popUpLater(QPoint globalPos) {
  menu_->popup(globalPos);
}

bool Menu::isShown() const {
  return menu_->isVisible();
}

void Menu::choose(int id) {
  const QList<QAction*> actions = menu_->actions();
  if (id < 0 || id >= actions.size()) return;
  if (waiting_)
    chosen_ = id;
  else
    Q_EMIT itemChosen(id);
  menu_->hide();
}

void Menu::dismiss() {
  menu_->hide();
}

}  // namespace pimrose::ui
