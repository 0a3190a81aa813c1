#include "ui/menu.h"

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QStyleOptionMenuItem>

#include "ui/skin.h"
#include "ui/ui_log.h"

namespace pimrose::ui {
namespace {

const char* const kTextColour = "pimroseTextColour";

// Gives each item the text colour stored on its action, in every state, so that one item's
// colour never restyles another.
class ItemColouredMenu : public QMenu {
 public:
  QColor text;
  QColor selectedText;

 protected:
  void showEvent(QShowEvent* event) override {
    QMenu::showEvent(event);
    painted_ = false;
  }
  // The first paint of a pop-up comes once its window is on screen: a script that drives the menu
  // with keys waits for this line.
  void paintEvent(QPaintEvent* event) override {
    QMenu::paintEvent(event);
    if (painted_) return;
    painted_ = true;
    qCDebug(lcUi) << "menu painted";
  }
  void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override {
    QMenu::initStyleOption(option, action);
    QColor colour = action->property(kTextColour).value<QColor>();
    if (!colour.isValid()) colour = option->state & QStyle::State_Selected ? selectedText : text;
    for (QPalette::ColorRole role :
         {QPalette::Text, QPalette::WindowText, QPalette::ButtonText, QPalette::HighlightedText})
      option->palette.setColor(role, colour);
  }

 private:
  bool painted_ = false;
};

}  // namespace

Menu::Menu(int skinIndex, QObject* parent)
    : QObject(parent), skinSheet_(skinStyleSheet(skinColours(skinIndex))) {
  auto* menu = new ItemColouredMenu;
  menu->text = skinColours(skinIndex).text;
  menu->selectedText = skinColours(skinIndex).accentText;
  menu_ = menu;
  menu_->setStyleSheet(skinSheet_);
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
  if (textColour.isValid()) action->setProperty(kTextColour, textColour);
  menu_->setMinimumWidth(std::max(menu_->minimumWidth(), width));
  if (height > itemHeight_) {
    itemHeight_ = height;
    // The item padding takes 8 of the item's pixels.
    menu_->setStyleSheet(skinSheet_ +
                         QStringLiteral("QMenu::item { min-height: %1px; }").arg(std::max(0, height - 8)));
  }
  return id;
}

void Menu::setItemFont(const QFont& font) {
  menu_->setFont(font);
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
