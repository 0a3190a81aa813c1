#pragma once

#include <span>

#include <QStringList>
#include <QStringView>

#include "commands/menu_kind.h"

namespace pimrose {

class CommandContext;

// A command's work; it runs on the UI thread with the running program.
using CommandHandler = void (*)(CommandContext& program);

// One user command: the menu it sits in, its item title and what it does. A row without a handler
// is an item that does nothing when chosen (the test menu's items).
struct CommandRow {
  MenuKind kind;
  const char16_t* title;
  CommandHandler handler;
};

// Every menu command, menu by menu, each menu's items in their order.
std::span<const CommandRow> commandTable();

// The row of that menu and title; nullptr when the menu has no such item.
const CommandRow* findCommand(MenuKind kind, QStringView title);
// The same by the menu's text key; nullptr for an unknown key.
const CommandRow* findCommand(QStringView kindKey, QStringView title);

// The item titles of a menu, in order.
QStringList menuTitles(MenuKind kind);

}  // namespace pimrose
