#include "app/menus.h"

#include <QCursor>

#include "app/app_log.h"
#include "commands/command_context.h"
#include "commands/command_table.h"
#include "settings/app_state.h"
#include "ui/menu.h"

namespace pimrose {

Menus::Menus(CommandContext& commands, const AppState& state) : commands_(commands), state_(state) {}

Menus::~Menus() = default;

void Menus::popUp(MenuKind kind, std::optional<QPoint> at) {
  BuildMenu(menuTitles(kind), kItemWidth);
  activeMenu_ = kind;
  PopUpMenu(at.value_or(QCursor::pos()));
}

void Menus::BuildMenu(const QStringList& titles, int width) {
  // The old menu may be the one whose choice is being handled right now.
  if (menu_) menu_->deleteLater();
  menu_ = new ui::Menu(state_.skinIndex, this);
  menuItems_.clear();
  for (const QString& title : titles) menuItems_.push_back({title, menu_->insertItem(title, width)});
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
