#include "app/menus.h"

#include <QCursor>

#include "app/app_log.h"
#include "commands/command_context.h"
#include "commands/command_table.h"
#include "settings/app_state.h"
#include "settings/skin_set.h"
#include "ui/menu.h"

namespace pimrose {
namespace {

// The items' face, mapped to the installed CJK face as the windows' texts are.
QFont menuFont() {
  QFont font(QStringLiteral("微软雅黑"));
  font.setPixelSize(Menus::kFontPixels);
  return font;
}

}  // namespace

Menus::Menus(CommandContext& commands, const AppState& state) : commands_(commands), state_(state) {}

Menus::~Menus() = default;

void Menus::popUp(MenuKind kind, std::optional<QPoint> at) {
  BuildMenu(menuTitles(kind), kItemWidth);
  activeMenu_ = kind;
  PopUpMenu(at.value_or(QCursor::pos()));
}

// Items are 24 pixels high and take the skin's menu text colour, highlighted or not.
void Menus::BuildMenu(const QStringList& titles, int width) {
  // The old menu may be the one whose choice is being handled right now.
  if (menu_) menu_->deleteLater();
  const int skin = state_.skinIndex;
  menu_ = new ui::Menu(skin, this);
  menu_->setItemFont(menuFont());
  const SkinSet* set = skinSet(skin);
  const QColor text = set ? set->menuText : QColor();
  menuItems_.clear();
  for (const QString& title : titles)
    menuItems_.push_back({title, menu_->insertItem(title, width, kItemHeight, text)});
  connect(menu_, &ui::Menu::itemChosen, this, &Menus::OnMenuCommand);
}

void Menus::PopUpMenu(QPoint at) {
  if (!menu_) return;
  menu_->popUpLater(at);
  if (activeMenu_) qCDebug(lcApp).noquote() << "menu" << menuKindKey(*activeMenu_) << "shown";
}

void Menus::OnMenuCommand(int item) {
  const auto chosen = std::find_if(menuItems_.begin(), menuItems_.end(),
                                   [item](const MenuItem& each) { return each.id == item; });
  if (chosen == menuItems_.end() || !activeMenu_) return;
  const CommandRow* row = findCommand(*activeMenu_, chosen->title);
  qCDebug(lcApp) << "menu" << menuKindKey(*activeMenu_) << "item" << chosen->title;
  if (row && row->handler) row->handler(commands_);
}

}  // namespace pimrose
