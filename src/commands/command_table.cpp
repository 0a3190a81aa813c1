#include "commands/command_table.h"

#include <array>

#include "commands/command_context.h"
#include "commands/copy_picture_command.h"
#include "commands/open_picture_command.h"
#include "commands/show_in_folder_command.h"

namespace pimrose {
namespace {

void showMainWindowCommand(CommandContext& program) {
  program.showMainWindow();
}

void hideFloatingIconCommand(CommandContext& program) {
  program.hideFloatingIcon();
}

void restartCommand(CommandContext& program) {
  program.restart();
}

void exitProgramCommand(CommandContext& program) {
  program.exitProgram();
}

using K = MenuKind;

const std::array kCommands{
    CommandRow{K::Tray, u"显示程序", showMainWindowCommand},
    CommandRow{K::Tray, u"软件重启", restartCommand},
    CommandRow{K::Tray, u"退出程序", exitProgramCommand},
    CommandRow{K::FloatIcon, u"显示程序", showMainWindowCommand},
    CommandRow{K::FloatIcon, u"隐藏悬浮", hideFloatingIconCommand},
    CommandRow{K::FloatIcon, u"重启程序", restartCommand},
    CommandRow{K::FloatIcon, u"退出程序", exitProgramCommand},
    CommandRow{K::Picture, u"访问目录", showChosenPictureInFolder},
    CommandRow{K::Picture, u"打开文件", openChosenPictureWithShell},
    CommandRow{K::Picture, u"置剪贴板", copyChosenPictureToClipboard},
    CommandRow{K::Test, u"打开文件", nullptr},
    CommandRow{K::Test, u"刷新菜单", nullptr},
    CommandRow{K::Test, u"退出程序", nullptr},
};

}  // namespace

std::span<const CommandRow> commandTable() {
  return kCommands;
}

const CommandRow* findCommand(MenuKind kind, QStringView title) {
  for (const CommandRow& row : kCommands)
    if (row.kind == kind && title == QStringView(row.title)) return &row;
  return nullptr;
}

const CommandRow* findCommand(QStringView kindKey, QStringView title) {
  const std::optional<MenuKind> kind = menuKindOfKey(kindKey);
  return kind ? findCommand(*kind, title) : nullptr;
}

QStringList menuTitles(MenuKind kind) {
  QStringList titles;
  for (const CommandRow& row : kCommands)
    if (row.kind == kind) titles << QString::fromUtf16(row.title);
  return titles;
}

}  // namespace pimrose
