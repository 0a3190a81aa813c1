#pragma once

#include <optional>
#include <vector>

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>

#include "commands/menu_kind.h"
#include "ui/menu.h"

namespace pimrose {

class CommandContext;
struct AppState;

// One item of the menu built last: its title and the menu's identifier of it.
struct MenuItem {
  QString title;
  int id = 0;
};

// The program's pop-up menus. Building a menu replaces the item list; popping a menu of a kind
// records that kind first, so a choice is always handled by the menu it was made in. A menu that
// is dismissed leaves the kind and the items as they are; only a chosen item runs a command.
class Menus : public QObject {
  Q_OBJECT

 public:
  static constexpr int kItemWidth = 80;
  static constexpr int kItemHeight = 24;
  static constexpr int kFontPixels = 14;

  // Commands run on `commands`; menus are built in the skin `state` holds at the time.
  Menus(CommandContext& commands, const AppState& state);
  ~Menus() override;

  // Builds the menu of that kind from the command table and pops it up at a screen position
  // (the pointer's by default). The choice arrives later.
  void popUp(MenuKind kind, std::optional<QPoint> at = std::nullopt);

  // Builds a menu of these titles in the current skin; replaces the items of the last one.
  void BuildMenu(const QStringList& titles, int width);
  // Pops the menu built last up at a screen position.
  void PopUpMenu(QPoint at);
  // An item of the menu built last was chosen: runs the command of the active kind and its title.
  // An identifier the menu does not have does nothing.
  void OnMenuCommand(int item);

  std::optional<MenuKind> activeMenu() const { return activeMenu_; }
  const std::vector<MenuItem>& menuItems() const { return menuItems_; }
  // The menu built last; nullptr before the first.
  ui::Menu* menu() const { return menu_; }

 private:
  CommandContext& commands_;
  const AppState& state_;
  QPointer<ui::Menu> menu_;
  std::vector<MenuItem> menuItems_;
  std::optional<MenuKind> activeMenu_;
};

}  // namespace pimrose
